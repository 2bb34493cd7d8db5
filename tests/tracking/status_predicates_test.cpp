#include "fb/attachment.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "status/entry_status.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QSet>
#include <QTime>

#include <memory>
#include <optional>
#include <set>

namespace {

constexpr BuhEntryStatus kAllStatuses[] = {
    BuhEntryStatus::AlarmNeSdan, BuhEntryStatus::Warning,         BuhEntryStatus::NeSdan,
    BuhEntryStatus::AlarmSdan,   BuhEntryStatus::AlarmPodozrenue, BuhEntryStatus::Sdan,
};

// Reports by their warning days: 5, 0, none (NULL) and a negative value.
enum Report { Warn5 = 1, Warn0 = 2, WarnNull = 3, WarnNegative = 4 };

// One schedule row, dates as days from today; a record time of -1 means NULL.
struct Row {
    Report report;
    int deadline;
    std::optional<int> actual;
    std::optional<int> recordDay;
    QTime recordTime = QTime(10, 0);
    QTime actualTime = QTime(0, 0);
};

// Rows on both sides of every boundary: the deadline day, the first warning day, the
// submission on and after the deadline day, the record on and after it, and the empty values.
const Row kRows[] = {
    // not submitted
    {Warn5, -10, {}, {}},
    {Warn5, -1, {}, -30},
    {Warn5, 0, {}, -30},
    {Warn5, 1, {}, {}},
    {Warn5, 5, {}, -30},
    {Warn5, 6, {}, -30},
    {Warn5, 30, {}, {}},
    {Warn0, -1, {}, -30},
    {Warn0, 0, {}, -30},
    {Warn0, 1, {}, -30},
    {WarnNull, -1, {}, -30},
    {WarnNull, 0, {}, {}},
    {WarnNull, 1, {}, -30},
    {WarnNull, 7, {}, -30},
    {WarnNegative, -1, {}, -30},
    {WarnNegative, 0, {}, -30},
    {WarnNegative, 2, {}, -30},
    // submitted
    {Warn5, -20, -23, -23},
    {Warn5, -20, -20, -20, QTime(23, 59, 59)},
    {Warn5, -20, -20, -19, QTime(0, 0, 1)},
    {Warn5, -20, -19, -19},
    {Warn5, -20, -21, {}},
    {Warn5, -20, -18, {}},
    {Warn5, -20, -20, -20, QTime(10, 0), QTime(14, 0)},
    {WarnNull, 0, 0, 0, QTime(17, 30)},
    {WarnNull, 0, 0, 1},
    {WarnNull, 10, -2, -2},
    {WarnNull, 10, 11, 11},
    {Warn0, 10, 10, 15},
    {WarnNegative, -5, -5, {}},
};

class StatusPredicatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The record date is set by hand here, NULL included, so the triggers that stamp it
        // are switched off in this database.
        m_db.exec("ALTER TRIGGER BUH_HISTORY_BI INACTIVE;"
                  "ALTER TRIGGER BUH_HISTORY_BU INACTIVE;"
                  "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, DAY_WARNING, DEL) "
                  "VALUES (1, 'Пять дней', 20, 0, 5, 0);"
                  "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, DAY_WARNING, DEL) "
                  "VALUES (2, 'Без предупреждения', 20, 0, 0, 0);"
                  "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, DAY_WARNING, DEL) "
                  "VALUES (3, 'Пусто', 20, 1, NULL, 0);"
                  "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, DAY_WARNING, DEL) "
                  "VALUES (4, 'Отрицательно', 20, 2, -3, 0);");
        m_att = m_db.connect();
    }

    void insertRows(const QDate& today) {
        fb::Transaction tr(*m_att);
        fb::Statement insert(
            tr, QStringLiteral("INSERT INTO BUH_HISTORY (ID, ORGANIZATION_ID, BUH_ACCOUNT_ID, "
                               "CYCLING, DT_END_ACCOUNT, DT_ACTION, DT_ACTUAL, DT_ADD_RECORD) "
                               "VALUES (:ID, :ID, :REPORT, 0, :DT_END, :DT_ACTION, :DT_ACTUAL, "
                               ":DT_ADD_RECORD)"));
        int id = 0;
        for (const Row& row : kRows) {
            const QDate deadline = today.addDays(row.deadline);
            insert.setParam(QStringLiteral("ID"), ++id);
            insert.setParam(QStringLiteral("REPORT"), static_cast<int>(row.report));
            insert.setParam(QStringLiteral("DT_END"), deadline.addDays(-20).startOfDay());
            insert.setParam(QStringLiteral("DT_ACTION"), deadline.startOfDay());
            insert.setParam(QStringLiteral("DT_ACTUAL"),
                            row.actual
                                ? QVariant(QDateTime(today.addDays(*row.actual), row.actualTime))
                                : QVariant());
            insert.setParam(QStringLiteral("DT_ADD_RECORD"),
                            row.recordDay
                                ? QVariant(QDateTime(today.addDays(*row.recordDay), row.recordTime))
                                : QVariant());
            insert.execute();
        }
        tr.commit();
    }

    // Row ids by the status the program computes for them.
    QMap<BuhEntryStatus, QSet<int>> clientStatuses(const QDateTime& now) {
        fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(
            tr, QStringLiteral("SELECT BUH_HISTORY.ID, BUH_HISTORY.DT_ACTION, "
                               "BUH_HISTORY.DT_ACTUAL, BUH_HISTORY.DT_ADD_RECORD, "
                               "BUH_ACCOUNT.DAY_WARNING, BUH_HISTORY.CYCLING, "
                               "BUH_HISTORY.DT_END_ACCOUNT FROM BUH_HISTORY LEFT JOIN BUH_ACCOUNT "
                               "ON BUH_ACCOUNT.ID = BUH_HISTORY.BUH_ACCOUNT_ID"));
        QMap<BuhEntryStatus, QSet<int>> result;
        query.open();
        while (query.fetch()) {
            BuhEntry entry;
            entry.id = query.value(0);
            entry.dtAction = query.value(1).toDateTime();
            entry.dtActual = query.value(2).toDateTime();
            entry.dtAddRecord = query.value(3).toDateTime();
            entry.dayWarning = query.value(4);
            entry.cycling = query.value(5);
            entry.dtEndAccount = query.value(6).toDateTime().date();
            const std::optional<BuhEntryStatus> status = entryStatus(entry, now, now.date());
            EXPECT_TRUE(status.has_value());
            if (status)
                result[*status].insert(entry.id.toInt());
        }
        return result;
    }

    QSet<int> selectedBy(const QString& condition) {
        fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(tr, QStringLiteral("SELECT BUH_HISTORY.ID FROM BUH_HISTORY LEFT JOIN "
                                               "BUH_ACCOUNT ON BUH_ACCOUNT.ID = "
                                               "BUH_HISTORY.BUH_ACCOUNT_ID WHERE ") +
                                    condition);
        QSet<int> ids;
        query.open();
        while (query.fetch())
            ids.insert(query.value(0).toInt());
        return ids;
    }

    // Each predicate selects exactly the rows of its status, and together they part the table.
    void expectServerAgrees(const QDateTime& now, const QString& todayExpr) {
        const QMap<BuhEntryStatus, QSet<int>> client = clientStatuses(now);
        QSet<int> seen;
        int total = 0;
        for (BuhEntryStatus status : kAllStatuses) {
            SCOPED_TRACE(statusText(status).toStdString());
            const QSet<int> server = selectedBy(statusPredicate(status, todayExpr));
            EXPECT_EQ(server, client.value(status));
            EXPECT_FALSE(server.isEmpty()) << "the table should hold every status";
            EXPECT_FALSE(server.intersects(seen));
            seen += server;
            total += static_cast<int>(server.size());
        }
        EXPECT_EQ(total, static_cast<int>(std::size(kRows)));

        // The filter of several statuses is their union; no status selects nothing.
        const QSet<BuhEntryStatus> due = {BuhEntryStatus::AlarmNeSdan, BuhEntryStatus::Warning};
        EXPECT_EQ(selectedBy(statusFilterSql(due, todayExpr)),
                  client.value(BuhEntryStatus::AlarmNeSdan) +
                      client.value(BuhEntryStatus::Warning));
        EXPECT_TRUE(selectedBy(statusFilterSql({}, todayExpr)).isEmpty());
    }

    TestDatabase m_db;
    std::unique_ptr<fb::Attachment> m_att;
};

TEST_F(StatusPredicatesTest, EachPredicateSelectsTheRowsOfItsStatus) {
    const QDate today(2025, 3, 10);
    insertRows(today);
    // Today may reach the server as a date or as a moment of that day.
    const char* expressions[] = {"DATE '2025-03-10'", "TIMESTAMP '2025-03-10 00:00:00'",
                                 "TIMESTAMP '2025-03-10 23:59:59'"};
    for (const char* todayExpr : expressions) {
        SCOPED_TRACE(todayExpr);
        for (const QTime& time : {QTime(0, 0, 1), QTime(12, 0), QTime(23, 59, 59)})
            expectServerAgrees(QDateTime(today, time), QString::fromLatin1(todayExpr));
    }
}

TEST_F(StatusPredicatesTest, DefaultExpressionUsesTheServersDate) {
    const QDate today = [&] {
        fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(tr, QStringLiteral("SELECT CURRENT_DATE FROM RDB$DATABASE"));
        query.open();
        query.fetch();
        return query.value(0).toDate();
    }();
    ASSERT_TRUE(today.isValid());
    insertRows(today);
    expectServerAgrees(QDateTime(today, QTime(12, 0)), QStringLiteral("CURRENT_DATE"));
}

} // namespace
