#include "store/schedule_list.h"

#include <QStringList>
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
                     "  BUH_ACCOUNT.NAME BUH_ACCOUNT_NAME,\n"
                     "  BUH_ACCOUNT.DAY_WARNING,\n"
                     "  USERS_SDAL.LOGIN || ' ( ' || USERS_SDAL.FIO || ' )' USERS_SDAL_NAME,\n"
                     "  ORGANIZATION.NAME ORGANIZATION_NAME\n";

const char kFrom[] = "FROM BUH_HISTORY\n"
                     "LEFT JOIN USERS USERS_SDAL ON USERS_SDAL.ID = BUH_HISTORY.USERS_ID\n"
                     "LEFT JOIN BUH_ACCOUNT ON BUH_ACCOUNT.ID = BUH_HISTORY.BUH_ACCOUNT_ID\n"
                     "LEFT JOIN ORGANIZATION ON ORGANIZATION.ID = BUH_HISTORY.ORGANIZATION_ID\n"
                     "WHERE\n";

const char kReportLine[] =
    "      ((:BUH_ACCOUNT_ID = -1) or (BUH_HISTORY.BUH_ACCOUNT_ID = :BUH_ACCOUNT_ID))\n";
const char kPeriodLine[] = "  AND ((:DT_ALL = -1) or ((BUH_HISTORY.DT_ACTION >= :DT_BEGIN) AND "
                           "(BUH_HISTORY.DT_ACTION <= :DT_END)))\n";
const char kUserLine[] = "  AND ((:USER_ID = -1) or (ORGANIZATION.USERS_ID = :USER_ID))\n";
const char kOrganisationLine[] =
    "  AND ((:ORG_ID = -1) or (BUH_HISTORY.ORGANIZATION_ID = :ORG_ID))\n";

// Entries of every existing organisation and those without one (ORGANIZATION_ID -1). One
// subquery instead of a list of every organisation's ID keeps the statement short whatever the
// number of organisations.
const char kOrganisations[] = "AND\n"
                              "((BUH_HISTORY.ORGANIZATION_ID = -1)\n"
                              " or (EXISTS (SELECT 1 FROM ORGANIZATION ORG_LIST WHERE ORG_LIST.ID "
                              "= BUH_HISTORY.ORGANIZATION_ID)))\n";

const char kDefaultOrder[] = "ORDER BY BUH_HISTORY.DT_ACTION";

QString statusClause(const QStringList& conditions) {
    QString line;
    for (int i = 0; i < conditions.size(); ++i) {
        line += (i == 0 ? QStringLiteral("  (") : QStringLiteral("  OR (")) + conditions.at(i) +
                QStringLiteral(")\r\n");
    }
    return QStringLiteral("  AND (\n") + line + QStringLiteral("  )\n");
}

QString orderBy(const std::optional<ScheduleSort>& sort) {
    if (!sort)
        return QString::fromLatin1(kDefaultOrder);
    const QString expression = sortExpression(sort->field);
    if (expression.isEmpty())
        return QString::fromLatin1(kDefaultOrder);
    const QString direction = sort->ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    // The deadline order of the unsorted list stays among equal values; the deadline in its
    // own ascending order needs nothing more, so the engine can walk its index.
    if (sort->field == QLatin1String("DT_ACTION") && sort->ascending)
        return QString::fromLatin1(kDefaultOrder);
    if (sort->field == QLatin1String("DT_ACTION"))
        return QStringLiteral("ORDER BY BUH_HISTORY.DT_ACTION DESC");
    return QStringLiteral("ORDER BY ") + expression + direction +
           QStringLiteral(", BUH_HISTORY.DT_ACTION, BUH_HISTORY.ID");
}

} // namespace

QDate periodBegin(const ScheduleFilter& filter) {
    return QDate(filter.beginYear, filter.beginMonth, 1);
}

QDate periodEnd(const ScheduleFilter& filter) {
    const QDate first(filter.endYear, filter.endMonth, 1);
    return first.addDays(first.daysInMonth() - 1);
}

QString scheduleHead() {
    return QString::fromUtf8(kHead) + QString::fromUtf8(kFrom);
}

QString scheduleRefreshSql() {
    return scheduleHead() + QStringLiteral("(BUH_HISTORY.ID = :OLD_ID)");
}

QString scheduleUpdateSql() {
    return QStringLiteral("UPDATE BUH_HISTORY SET DT_ACTUAL = :DT_ACTUAL, DT_ADD_RECORD = "
                          ":DT_ADD_RECORD, COMMENTS = :COMMENTS, USERS_ID = :USERS_ID WHERE ID = "
                          ":OLD_ID");
}

QString scheduleDeleteSql() {
    return QStringLiteral("DELETE FROM BUH_HISTORY WHERE ID = :OLD_ID");
}

QString sortExpression(const QString& field) {
    static const QHash<QString, QString> expressions{
        {QStringLiteral("ID"), QStringLiteral("BUH_HISTORY.ID")},
        {QStringLiteral("ORGANIZATION_ID"), QStringLiteral("BUH_HISTORY.ORGANIZATION_ID")},
        {QStringLiteral("BUH_ACCOUNT_ID"), QStringLiteral("BUH_HISTORY.BUH_ACCOUNT_ID")},
        {QStringLiteral("CYCLING"), QStringLiteral("BUH_HISTORY.CYCLING")},
        {QStringLiteral("DT_END_ACCOUNT"), QStringLiteral("BUH_HISTORY.DT_END_ACCOUNT")},
        {QStringLiteral("DT_ACTION"), QStringLiteral("BUH_HISTORY.DT_ACTION")},
        {QStringLiteral("DT_ACTUAL"), QStringLiteral("BUH_HISTORY.DT_ACTUAL")},
        {QStringLiteral("DT_ADD_RECORD"), QStringLiteral("BUH_HISTORY.DT_ADD_RECORD")},
        {QStringLiteral("USERS_ID"), QStringLiteral("BUH_HISTORY.USERS_ID")},
        {QStringLiteral("BUH_ACCOUNT_NAME"), QStringLiteral("BUH_ACCOUNT.NAME")},
        {QStringLiteral("DAY_WARNING"), QStringLiteral("BUH_ACCOUNT.DAY_WARNING")},
        {QStringLiteral("USERS_SDAL_NAME"),
         QStringLiteral("USERS_SDAL.LOGIN || ' ( ' || USERS_SDAL.FIO || ' )'")},
        {QStringLiteral("ORGANIZATION_NAME"), QStringLiteral("ORGANIZATION.NAME")},
    };
    return expressions.value(field.toUpper());
}

bool exceedsStatementLimit(const QString& sql) {
    return sql.size() > kStatementLimit;
}

ScheduleBuild buildScheduleStatement(const ScheduleFilter& filter, const QDate& today,
                                     const std::optional<ScheduleSort>& sort) {
    ScheduleBuild build;
    if (!filter.everyStatus && filter.statusConditions.isEmpty()) {
        build.error = ScheduleFilterError::NoStatus;
        return build;
    }
    if (filter.oneOrganisation && filter.organisationId == -1) {
        build.error = ScheduleFilterError::NoOrganisation;
        return build;
    }
    QHash<QString, QVariant>& params = build.statement.params;
    if (filter.allDates) {
        params.insert(QStringLiteral("DT_ALL"), -1);
        params.insert(QStringLiteral("DT_BEGIN"), QVariant());
        params.insert(QStringLiteral("DT_END"), QVariant());
    } else {
        const QDate begin = periodBegin(filter);
        const QDate end = periodEnd(filter);
        if (begin > end) {
            build.error = ScheduleFilterError::BeginAfterEnd;
            return build;
        }
        params.insert(QStringLiteral("DT_ALL"), 0);
        params.insert(QStringLiteral("DT_BEGIN"), begin.startOfDay());
        // The whole last day, should a deadline ever carry a time of day.
        params.insert(QStringLiteral("DT_END"), QDateTime(end, QTime(23, 59, 59, 999)));
    }
    params.insert(QStringLiteral("BUH_ACCOUNT_ID"), filter.reportId);
    params.insert(QStringLiteral("USER_ID"), -1);
    params.insert(QStringLiteral("ORG_ID"), filter.oneOrganisation ? filter.organisationId : -1);

    const QString status = filter.everyStatus ? QString() : statusClause(filter.statusConditions);
    if (!filter.everyStatus)
        params.insert(QStringLiteral("TODAY"), today);
    const QString organisations =
        filter.oneOrganisation ? QString() : QString::fromUtf8(kOrganisations);

    ScheduleStatement& st = build.statement;
    st.sql = QString::fromUtf8(kHead) + QString::fromUtf8(kFrom) + QString::fromUtf8(kReportLine) +
             QString::fromUtf8(kPeriodLine) + QString::fromUtf8(kUserLine) +
             QString::fromUtf8(kOrganisationLine) + status + organisations + orderBy(sort);
    st.rowConditions = QString::fromUtf8(kReportLine) + QString::fromUtf8(kPeriodLine) +
                       QString::fromUtf8(kOrganisationLine) + status;
    // The one organisation once more as a plain condition the engine can find by its index.
    if (filter.oneOrganisation)
        st.rowConditions += QStringLiteral("  AND (BUH_HISTORY.ORGANIZATION_ID = :ORG_ID)\n");
    st.userCondition = QString::fromUtf8(kUserLine);
    st.allOrganisations = !filter.oneOrganisation;
    if (exceedsStatementLimit(build.statement.sql)) {
        build.error = ScheduleFilterError::TooLong;
        build.statement = ScheduleStatement();
    }
    return build;
}

} // namespace store
