#include "store/reports.h"

#include "fb/statement.h"
#include "fb/transaction.h"

namespace store::reports {

DatasetSql list() {
    const QString columns =
        QStringLiteral("SELECT BUH_ACCOUNT.ID, BUH_ACCOUNT.NAME, BUH_ACCOUNT.DAY_ACTION, "
                       "BUH_ACCOUNT.DAY_ACTION_12, BUH_ACCOUNT.CYCLING, BUH_ACCOUNT.DAY_WARNING, "
                       "BUH_ACCOUNT.DEL, BUH_ACCOUNT.COMMENTS FROM BUH_ACCOUNT");
    return {
        columns + QStringLiteral(" ORDER BY UPPER(BUH_ACCOUNT.NAME)"),
        columns + QStringLiteral(" WHERE BUH_ACCOUNT.ID = :OLD_ID"),
        QStringLiteral("INSERT INTO BUH_ACCOUNT ( ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, "
                       "DAY_WARNING, DEL, COMMENTS ) VALUES( :ID, :NAME, :DAY_ACTION, "
                       ":DAY_ACTION_12, :CYCLING, :DAY_WARNING, 0, :COMMENTS )"),
        QStringLiteral("UPDATE BUH_ACCOUNT SET NAME = :NAME, DAY_ACTION = :DAY_ACTION, "
                       "DAY_ACTION_12 = :DAY_ACTION_12, CYCLING = :CYCLING, DAY_WARNING = "
                       ":DAY_WARNING, DEL = :DEL, COMMENTS = :COMMENTS WHERE ID = :OLD_ID"),
        QStringLiteral("DELETE FROM BUH_ACCOUNT WHERE ID = :OLD_ID"),
        QStringLiteral("GEN_BUH_ACCOUNT_ID"),
    };
}

qint64 countEntries(fb::Attachment& attachment, int reportId) {
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement qDelBuhAccount(
        transaction,
        QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE BUH_ACCOUNT_ID = :BUH_ACCOUNT_ID"));
    qDelBuhAccount.setParam(QStringLiteral("BUH_ACCOUNT_ID"), reportId);
    qDelBuhAccount.open();
    return qDelBuhAccount.fetch() ? qDelBuhAccount.value(0).toLongLong() : 0;
}

} // namespace store::reports
