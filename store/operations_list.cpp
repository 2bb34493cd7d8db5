#include "store/operations_list.h"

#include "fb/attachment.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QTime>

namespace store {
namespace {

const char kHead[] = "SELECT\n"
                     "  BUH_HISTORY.ID,\n"
                     "  BUH_HISTORY.ORGANIZATION_ID,\n"
                     "  BUH_HISTORY.BUH_ACCOUNT_ID,\n"
                     "  BUH_HISTORY.CYCLING,\n"
                     "  BUH_HISTORY.DT_END_ACCOUNT,\n"
                     "  BUH_HISTORY.DT_ACTION,\n"
                     "  BUH_HISTORY.DT_ACTUAL,\n"
                     "  BUH_HISTORY.DT_ADD_RECORD,\n"
                     "  BUH_HISTORY.COMMENTS,\n"
                     "  BUH_HISTORY.USERS_ID,\n"
                     "  BUH_ACCOUNT.NAME,\n"
                     "  BUH_ACCOUNT.DAY_WARNING,\n"
                     "  USERS.LOGIN || ' ( ' || USERS.FIO || ' )' USERS_NAME\n"
                     "FROM BUH_HISTORY\n"
                     "LEFT JOIN BUH_ACCOUNT ON BUH_ACCOUNT.ID = BUH_HISTORY.BUH_ACCOUNT_ID\n"
                     "LEFT JOIN USERS ON USERS.ID = BUH_HISTORY.USERS_ID\n"
                     "WHERE\n";

// The assignment check does not look at the assignment's switch.
const char kConditions[] =
    "      (BUH_HISTORY.ORGANIZATION_ID = :ORGANIZATION_ID)\n"
    "  AND ((:DT_ALL = -1) or ((BUH_HISTORY.DT_ACTION >= :DT_BEGIN) AND (BUH_HISTORY.DT_ACTION "
    "<= :DT_END)))\n"
    "  AND ((:BUH_ACCOUNT_ID = -1) or (BUH_HISTORY.BUH_ACCOUNT_ID = :BUH_ACCOUNT_ID))\n"
    "  AND ((:DT_ACTUAL_NULL = -1) or (BUH_HISTORY.DT_ACTUAL IS NULL))\n"
    "  AND ((:DT_ACTUAL_NOT_NULL = -1) or (BUH_HISTORY.DT_ACTUAL IS NOT NULL))\n"
    "  AND (EXISTS (SELECT BUH_ACCOUNT_ORGANIZATION.ID FROM BUH_ACCOUNT_ORGANIZATION WHERE "
    "(BUH_HISTORY.BUH_ACCOUNT_ID = BUH_ACCOUNT_ORGANIZATION.BUH_ACCOUNT_ID) AND "
    "(BUH_HISTORY.ORGANIZATION_ID = BUH_ACCOUNT_ORGANIZATION.ORGANIZATION_ID)))\n";

const char kOrder[] = "ORDER BY BUH_HISTORY.DT_ACTION, BUH_HISTORY.CYCLING, BUH_ACCOUNT.NAME";

} // namespace

OperationsBuild buildOperationsStatement(const OperationsFilter& filter) {
    OperationsBuild build;
    QHash<QString, QVariant>& params = build.statement.params;
    if (filter.allDates) {
        params.insert(QStringLiteral("DT_ALL"), -1);
        params.insert(QStringLiteral("DT_BEGIN"), QVariant());
        params.insert(QStringLiteral("DT_END"), QVariant());
    } else {
        ScheduleFilter period;
        period.beginMonth = filter.beginMonth;
        period.beginYear = filter.beginYear;
        period.endMonth = filter.endMonth;
        period.endYear = filter.endYear;
        const QDate begin = periodBegin(period);
        const QDate end = periodEnd(period);
        if (begin > end) {
            build.beginAfterEnd = true;
            return build;
        }
        params.insert(QStringLiteral("DT_ALL"), 0);
        params.insert(QStringLiteral("DT_BEGIN"), begin.startOfDay());
        params.insert(QStringLiteral("DT_END"), QDateTime(end, QTime(23, 59, 59, 999)));
    }
    params.insert(QStringLiteral("ORGANIZATION_ID"), filter.organisationId);
    params.insert(QStringLiteral("BUH_ACCOUNT_ID"), filter.reportId >= 1 ? filter.reportId : -1);
    params.insert(QStringLiteral("DT_ACTUAL_NULL"), filter.events == EventType::OpenOnly ? 0 : -1);
    params.insert(QStringLiteral("DT_ACTUAL_NOT_NULL"),
                  filter.events == EventType::SubmittedOnly ? 0 : -1);
    build.statement.sql =
        QString::fromUtf8(kHead) + QString::fromUtf8(kConditions) + QString::fromUtf8(kOrder);
    build.statement.rowConditions = QString::fromUtf8(kConditions);
    build.statement.allOrganisations = false;
    return build;
}

QString operationsRefreshSql() {
    return QString::fromUtf8(kHead) + QStringLiteral("(BUH_HISTORY.ID = :OLD_ID)");
}

QString operationsUpdateSql() {
    return QStringLiteral("UPDATE BUH_HISTORY SET DT_ACTUAL = :DT_ACTUAL, COMMENTS = :COMMENTS, "
                          "USERS_ID = :USERS_ID WHERE ID = :OLD_ID");
}

QStringList assignedReportIds(fb::Attachment& attachment, int organisationId) {
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(transaction, QStringLiteral("SELECT BUH_ACCOUNT_ID FROM "
                                                    "BUH_ACCOUNT_ORGANIZATION WHERE "
                                                    "(ORGANIZATION_ID = :ORGANIZATION_ID)"));
    query.setParam(QStringLiteral("ORGANIZATION_ID"), organisationId);
    query.open();
    QStringList ids;
    while (query.fetch())
        ids << query.value(0).toString();
    transaction.commit();
    return ids;
}

std::pair<int, int> quarterMonths(const QDate& date) {
    const int first = (date.month() - 1) / 3 * 3 + 1;
    return {first, first + 2};
}

} // namespace store
