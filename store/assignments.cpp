#include "store/assignments.h"

namespace store::assignments {

DatasetSql list() {
    const QString columns = QStringLiteral(
        "SELECT BUH_ACCOUNT_ORGANIZATION.ID, BUH_ACCOUNT_ORGANIZATION.BUH_ACCOUNT_ID, "
        "BUH_ACCOUNT_ORGANIZATION.ORGANIZATION_ID, BUH_ACCOUNT_ORGANIZATION.ON_OFF, "
        "BUH_ACCOUNT.NAME, BUH_ACCOUNT.DAY_ACTION, BUH_ACCOUNT.DAY_ACTION_12, "
        "BUH_ACCOUNT.CYCLING, BUH_ACCOUNT.DAY_WARNING FROM BUH_ACCOUNT_ORGANIZATION LEFT JOIN "
        "BUH_ACCOUNT ON BUH_ACCOUNT.ID = BUH_ACCOUNT_ORGANIZATION.BUH_ACCOUNT_ID ");
    return {
        columns + QStringLiteral("WHERE BUH_ACCOUNT_ORGANIZATION.ORGANIZATION_ID = :ID ORDER BY "
                                 "BUH_ACCOUNT.NAME"),
        columns + QStringLiteral("WHERE( BUH_ACCOUNT_ORGANIZATION.ORGANIZATION_ID = :ID ) and ( "
                                 "BUH_ACCOUNT_ORGANIZATION.ID = :OLD_ID )"),
        QStringLiteral("INSERT INTO BUH_ACCOUNT_ORGANIZATION ( ID, BUH_ACCOUNT_ID, "
                       "ORGANIZATION_ID, ON_OFF ) VALUES ( :ID, :BUH_ACCOUNT_ID, "
                       ":ORGANIZATION_ID, 0 )"),
        QStringLiteral("UPDATE BUH_ACCOUNT_ORGANIZATION SET BUH_ACCOUNT_ID = :BUH_ACCOUNT_ID, "
                       "ORGANIZATION_ID = :ORGANIZATION_ID, ON_OFF = :ON_OFF WHERE ID = :OLD_ID"),
        QStringLiteral("DELETE FROM BUH_ACCOUNT_ORGANIZATION WHERE ID = :OLD_ID"),
        QStringLiteral("GEN_BUH_ACCOUNT_ORGANIZATION_ID"),
    };
}

} // namespace store::assignments
