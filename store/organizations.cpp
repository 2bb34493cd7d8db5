#include "store/organizations.h"

namespace store::organizations {

DatasetSql list() {
    const QString columns =
        QStringLiteral("SELECT ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, USERS_ID, "
                       "REQ_INN, REQ_KPP, COMMENTS FROM ORGANIZATION");
    return {
        columns + QStringLiteral(" ORDER BY NAME"),
        columns + QStringLiteral(" WHERE ID = :OLD_ID"),
        QStringLiteral(
            "INSERT INTO ORGANIZATION ( ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, "
            "USERS_ID, REQ_INN, REQ_KPP, COMMENTS ) VALUES ( :ID, :NAME, :BUH_TAX_SYSTEM_MAIN, "
            ":BUH_TAX_SYSTEM_ADDIT, 0, :REQ_INN, :REQ_KPP, :COMMENTS )"),
        QStringLiteral(
            "UPDATE ORGANIZATION SET NAME = :NAME, BUH_TAX_SYSTEM_MAIN = :BUH_TAX_SYSTEM_MAIN, "
            "BUH_TAX_SYSTEM_ADDIT = :BUH_TAX_SYSTEM_ADDIT, USERS_ID = :USERS_ID, REQ_INN = "
            ":REQ_INN, REQ_KPP = :REQ_KPP, COMMENTS = :COMMENTS WHERE ID = :OLD_ID"),
        QStringLiteral("DELETE FROM ORGANIZATION WHERE ID = :OLD_ID"),
        QStringLiteral("GEN_ORGANIZATION_ID"),
    };
}

QString pickerSelect() {
    return QStringLiteral("SELECT ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT FROM "
                          "ORGANIZATION ORDER BY NAME");
}

} // namespace store::organizations
