#include "schedule_fixture.h"

#include "status/schedule_filter.h"
#include "status/schedule_statistics.h"
#include "store/history.h"

#include <QStringList>

#include <optional>

namespace {

class ScheduleListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_db = new TestDatabase;
        seedSchedule(*s_db);
    }
    static void TearDownTestSuite() {
        delete s_db;
        s_db = nullptr;
    }
    void SetUp() override { m_att = s_db->connect(); }

    store::ScheduleBuild build(const store::ScheduleFilter& filter,
                               const std::optional<store::ScheduleSort>& sort = std::nullopt) {
        return store::buildScheduleStatement(filter, kScheduleToday(), sort);
    }
    QSet<int> ids(const store::ScheduleFilter& filter) {
        const store::ScheduleBuild b = build(filter);
        EXPECT_EQ(b.error, store::ScheduleFilterError::None);
        return listIds(*m_att, b.statement);
    }

    static TestDatabase* s_db;
    std::unique_ptr<fb::Attachment> m_att;
};

TestDatabase* ScheduleListTest::s_db = nullptr;

store::ScheduleFilter withStatuses(QSet<BuhEntryStatus> statuses) {
    store::ScheduleFilter filter = year2025();
    setFilterStatuses(filter, statuses);
    return filter;
}

TEST_F(ScheduleListTest, StatementIsTheHeadTheFourConditionsTheOrganisationsAndTheOrder) {
    const store::ScheduleBuild b = build(year2025());
    ASSERT_EQ(b.error, store::ScheduleFilterError::None);
    const QStringList lines = b.statement.sql.split(QLatin1Char('\n'));
    const int where = static_cast<int>(lines.indexOf(QStringLiteral("WHERE")));
    ASSERT_GT(where, 0);
    EXPECT_EQ(lines.first(), QStringLiteral("SELECT"));
    EXPECT_EQ(lines.mid(where - 4, 4),
              QStringList({QStringLiteral("FROM BUH_HISTORY"),
                           QStringLiteral("LEFT JOIN USERS USERS_SDAL ON USERS_SDAL.ID = "
                                          "BUH_HISTORY.USERS_ID"),
                           QStringLiteral("LEFT JOIN BUH_ACCOUNT ON BUH_ACCOUNT.ID = "
                                          "BUH_HISTORY.BUH_ACCOUNT_ID"),
                           QStringLiteral("LEFT JOIN ORGANIZATION ON ORGANIZATION.ID = "
                                          "BUH_HISTORY.ORGANIZATION_ID")}));
    EXPECT_EQ(
        lines.mid(where + 1, 4),
        QStringList(
            {QStringLiteral("      ((:BUH_ACCOUNT_ID = -1) or (BUH_HISTORY.BUH_ACCOUNT_ID = "
                            ":BUH_ACCOUNT_ID))"),
             QStringLiteral("  AND ((:DT_ALL = -1) or ((BUH_HISTORY.DT_ACTION >= :DT_BEGIN) AND "
                            "(BUH_HISTORY.DT_ACTION <= :DT_END)))"),
             QStringLiteral("  AND ((:USER_ID = -1) or (ORGANIZATION.USERS_ID = :USER_ID))"),
             QStringLiteral("  AND ((:ORG_ID = -1) or (BUH_HISTORY.ORGANIZATION_ID = :ORG_ID))")}));
    // Every status: no status clause; all organisations: one EXISTS, whatever their number.
    EXPECT_EQ(lines.at(where + 5), QStringLiteral("AND"));
    EXPECT_EQ(lines.at(where + 6), QStringLiteral("((BUH_HISTORY.ORGANIZATION_ID = -1)"));
    EXPECT_TRUE(lines.at(where + 7).contains(QStringLiteral("EXISTS (SELECT 1 FROM ORGANIZATION")));
    EXPECT_EQ(lines.last(), QStringLiteral("ORDER BY BUH_HISTORY.DT_ACTION"));
    EXPECT_FALSE(b.statement.sql.contains(QStringLiteral(":TODAY")));
    // The two parts of the conditions hold the same lines.
    EXPECT_TRUE(b.statement.rowConditions.contains(QStringLiteral("(:ORG_ID = -1)")));
    EXPECT_FALSE(b.statement.rowConditions.contains(QStringLiteral("ORGANIZATION.")));
    EXPECT_TRUE(b.statement.userCondition.contains(QStringLiteral(":USER_ID")));
    EXPECT_TRUE(b.statement.allOrganisations);

    // One organisation: its ID as parameter, no organisation clause.
    store::ScheduleFilter one = year2025();
    one.oneOrganisation = true;
    one.organisationId = 20;
    const store::ScheduleBuild b1 = build(one);
    EXPECT_FALSE(b1.statement.sql.contains(QStringLiteral("EXISTS")));
    EXPECT_EQ(b1.statement.params.value(QStringLiteral("ORG_ID")).toInt(), 20);
    EXPECT_EQ(b1.statement.params.value(QStringLiteral("USER_ID")).toInt(), -1);
}

TEST_F(ScheduleListTest, StatusClauseListsTheChosenConditionsInTheBoxesOrder) {
    const store::ScheduleBuild b = build(withStatuses(
        {BuhEntryStatus::AlarmPodozrenue, BuhEntryStatus::NeSdan, BuhEntryStatus::AlarmNeSdan}));
    const QString today = QStringLiteral(":TODAY");
    const QString expected =
        QStringLiteral("  AND (\n  (") + statusPredicate(BuhEntryStatus::NeSdan, today) +
        QStringLiteral(")\r\n  OR (") + statusPredicate(BuhEntryStatus::AlarmNeSdan, today) +
        QStringLiteral(")\r\n  OR (") + statusPredicate(BuhEntryStatus::AlarmPodozrenue, today) +
        QStringLiteral(")\r\n  )\n");
    EXPECT_TRUE(b.statement.sql.contains(expected)) << b.statement.sql.toStdString();
    EXPECT_EQ(b.statement.params.value(QStringLiteral("TODAY")).toDate(), kScheduleToday());
}

TEST_F(ScheduleListTest, FiltersSelectTheirRows) {
    struct Case {
        const char* name;
        std::function<void(store::ScheduleFilter&)> change;
        QSet<int> ids;
    };
    const auto statuses = [](QSet<BuhEntryStatus> s) {
        return [s](store::ScheduleFilter& f) { setFilterStatuses(f, s); };
    };
    const Case cases[] = {
        // The organisation that no longer exists (8) is not listed, the one of -1 (7) is.
        {"year", [](store::ScheduleFilter&) {}, {1, 2, 3, 4, 5, 6, 7, 9, 10, 11}},
        {"all dates",
         [](store::ScheduleFilter& f) { f.allDates = true; },
         {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12}},
        {"one report", [](store::ScheduleFilter& f) { f.reportId = 1; }, {1, 4, 6, 9}},
        {"archived report, all dates",
         [](store::ScheduleFilter& f) {
             f.reportId = 3;
             f.allDates = true;
         },
         {12}},
        {"one organisation",
         [](store::ScheduleFilter& f) {
             f.oneOrganisation = true;
             f.organisationId = 20;
         },
         {3, 4, 10, 11}},
        {"the gone organisation alone",
         [](store::ScheduleFilter& f) {
             f.oneOrganisation = true;
             f.organisationId = 999;
         },
         {8}},
        // January to January is the whole of January; February to February ends on the 28th.
        {"January",
         [](store::ScheduleFilter& f) {
             f.beginMonth = 1;
             f.endMonth = 1;
         },
         {4, 6, 10}},
        {"February",
         [](store::ScheduleFilter& f) {
             f.beginMonth = 2;
             f.endMonth = 2;
         },
         {5, 11}},
        {"December to January over the year",
         [](store::ScheduleFilter& f) {
             f.beginYear = 2024;
             f.beginMonth = 12;
             f.endMonth = 1;
         },
         {4, 6, 10, 12}},
        {"in plan", statuses({BuhEntryStatus::NeSdan}), {1, 7}},
        // Due today is still in time: a warning, not overdue.
        {"warning", statuses({BuhEntryStatus::Warning}), {2, 9}},
        {"overdue", statuses({BuhEntryStatus::AlarmNeSdan}), {3, 10, 11}},
        {"in time", statuses({BuhEntryStatus::Sdan}), {4}},
        {"late", statuses({BuhEntryStatus::AlarmSdan}), {5}},
        {"suspicious", statuses({BuhEntryStatus::AlarmPodozrenue}), {6}},
        {"submitted",
         statuses(
             {BuhEntryStatus::Sdan, BuhEntryStatus::AlarmSdan, BuhEntryStatus::AlarmPodozrenue}),
         {4, 5, 6}},
        {"five of six",
         statuses({BuhEntryStatus::NeSdan, BuhEntryStatus::Warning, BuhEntryStatus::Sdan,
                   BuhEntryStatus::AlarmSdan, BuhEntryStatus::AlarmPodozrenue}),
         {1, 2, 4, 5, 6, 7, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store::ScheduleFilter filter = year2025();
        c.change(filter);
        EXPECT_EQ(ids(filter), c.ids);
        // Counting and deleting read their rows in their own ways: the same rows.
        const store::ScheduleStatement statement = build(filter).statement;
        const QList<int> keys = store::listedKeys(*m_att, statement);
        EXPECT_EQ(QSet<int>(keys.begin(), keys.end()), c.ids);
        EXPECT_EQ(keys.size(), c.ids.size());
        EXPECT_EQ(countScheduleStatistics(*m_att, statement, kScheduleToday()).total, c.ids.size());
    }
}

TEST_F(ScheduleListTest, BadFiltersAreRefusedInTheOrderTheUserIsTold) {
    store::ScheduleFilter noStatus = year2025();
    setFilterStatuses(noStatus, {});
    noStatus.oneOrganisation = true; // the status is said first
    EXPECT_EQ(build(noStatus).error, store::ScheduleFilterError::NoStatus);

    store::ScheduleFilter noOrganisation = year2025();
    noOrganisation.oneOrganisation = true;
    noOrganisation.beginMonth = 3;
    noOrganisation.endMonth = 1;
    EXPECT_EQ(build(noOrganisation).error, store::ScheduleFilterError::NoOrganisation);

    struct Range {
        int beginMonth, beginYear, endMonth, endYear;
        bool error;
    } ranges[] = {{1, 2025, 1, 2025, false},
                  {3, 2025, 1, 2025, true},
                  {2, 2025, 1, 2025, true},
                  {12, 2024, 1, 2025, false},
                  {1, 2026, 12, 2025, true}};
    for (const Range& r : ranges) {
        store::ScheduleFilter f;
        f.beginMonth = r.beginMonth;
        f.beginYear = r.beginYear;
        f.endMonth = r.endMonth;
        f.endYear = r.endYear;
        EXPECT_EQ(build(f).error == store::ScheduleFilterError::BeginAfterEnd, r.error)
            << r.beginMonth << "." << r.beginYear << " - " << r.endMonth << "." << r.endYear;
        f.allDates = true; // the months do not matter then
        EXPECT_EQ(build(f).error, store::ScheduleFilterError::None);
    }
    EXPECT_EQ(store::periodEnd(year2025()), QDate(2025, 12, 31));
    store::ScheduleFilter feb;
    feb.endYear = 2024;
    feb.endMonth = 2;
    EXPECT_EQ(store::periodEnd(feb), QDate(2024, 2, 29));

    EXPECT_FALSE(store::exceedsStatementLimit(QString(store::kStatementLimit, QLatin1Char('x'))));
    EXPECT_TRUE(
        store::exceedsStatementLimit(QString(store::kStatementLimit + 1, QLatin1Char('x'))));
}

TEST_F(ScheduleListTest, SortOrdersTheWholeListByOneField) {
    store::ScheduleFilter filter = year2025();
    const auto ordered = [&](const std::optional<store::ScheduleSort>& sort) {
        const store::ScheduleBuild b = build(filter, sort);
        fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(tr, b.statement.sql);
        for (const QString& name : query.paramNames())
            query.setParam(name, b.statement.params.value(name));
        QList<int> ids;
        query.open();
        while (query.fetch())
            ids << query.value(QStringLiteral("ID")).toInt();
        return ids;
    };
    // 4 and 6 share their deadline.
    const QList<int> byDeadline = ordered(std::nullopt);
    EXPECT_EQ(QSet<int>(byDeadline.begin(), byDeadline.begin() + 2), QSet<int>({4, 6}));
    EXPECT_EQ(byDeadline.mid(2), QList<int>({10, 11, 5, 3, 9, 2, 7, 1}));
    EXPECT_EQ(ordered(store::ScheduleSort{QStringLiteral("DT_ACTION"), false}).first(), 1);
    // Organisation names, ties by deadline; the entry without organisation first, then last.
    EXPECT_EQ(ordered(store::ScheduleSort{QStringLiteral("ORGANIZATION_NAME"), true}),
              QList<int>({7, 4, 10, 11, 3, 6, 5, 9, 2, 1}));
    EXPECT_EQ(ordered(store::ScheduleSort{QStringLiteral("ORGANIZATION_NAME"), false}),
              QList<int>({6, 5, 9, 2, 1, 4, 10, 11, 3, 7}));
}

TEST_F(ScheduleListTest, StatisticsCountTheRowsOfTheListByStatus) {
    const store::ScheduleBuild b = build(year2025());
    const ScheduleStatistics s = countScheduleStatistics(*m_att, b.statement, kScheduleToday());
    EXPECT_EQ(s.total, 10);
    EXPECT_EQ(s.warning, 2);
    EXPECT_EQ(s.alarmNeSdan, 3);
    EXPECT_EQ(s.alarmSdan, 1);
    EXPECT_EQ(s.suspicious, 1);
    // The rest are in plan (1, 7) and in time (4).
    EXPECT_EQ(s.warning + s.alarmNeSdan + s.alarmSdan + s.suspicious + 3, s.total);

    // Submitted only: no open counters.
    const store::ScheduleBuild done = build(withStatuses(
        {BuhEntryStatus::Sdan, BuhEntryStatus::AlarmSdan, BuhEntryStatus::AlarmPodozrenue}));
    const ScheduleStatistics d = countScheduleStatistics(*m_att, done.statement, kScheduleToday());
    EXPECT_EQ(d.total, 3);
    EXPECT_EQ(d.warning, 0);
    EXPECT_EQ(d.alarmNeSdan, 0);

    // A day later the entry due today is overdue.
    const ScheduleStatistics later =
        countScheduleStatistics(*m_att, b.statement, kScheduleToday().addDays(1));
    EXPECT_EQ(later.alarmNeSdan, 4);
}

} // namespace

// Deleting changes the database, so it has one of its own.
TEST(ScheduleListDelete, DeletesExactlyTheRowsOfTheListInOneTransaction) {
    TestDatabase db;
    seedSchedule(db);
    auto att = db.connect();
    store::ScheduleFilter filter = year2025();
    setFilterStatuses(filter, {BuhEntryStatus::AlarmNeSdan, BuhEntryStatus::Sdan});
    const store::ScheduleBuild b = store::buildScheduleStatement(filter, kScheduleToday());
    int calls = 0;
    EXPECT_EQ(store::deleteListRows(*att, b.statement, [&] { ++calls; }), 4);
    EXPECT_GT(calls, 0);
    EXPECT_EQ(countOf(*att, QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE ID IN (3, 4, "
                                           "10, 11)")),
              0);
    EXPECT_EQ(countOf(*att, QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY")), 8);

    // A refused row undoes the whole run: a trigger refuses entry 9 only.
    db.exec(QStringLiteral("CREATE EXCEPTION E_KEEP 'Запись удалять нельзя';"));
    db.exec(QStringLiteral(
        "SET TERM ^ ;"
        "CREATE TRIGGER KEEP_9 FOR BUH_HISTORY BEFORE DELETE AS BEGIN IF (OLD.ID = 9) THEN "
        "EXCEPTION E_KEEP; END^"
        "SET TERM ; ^"));
    auto again = db.connect();
    const store::ScheduleBuild all = store::buildScheduleStatement(year2025(), kScheduleToday());
    try {
        store::deleteListRows(*again, all.statement);
        FAIL() << "the delete went through";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.engineText().contains(QStringLiteral("Запись удалять нельзя")))
            << e.message().toStdString();
    }
    EXPECT_EQ(countOf(*again, QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY")), 8);
    // Nothing listed: nothing to delete.
    store::ScheduleFilter none = year2025();
    none.oneOrganisation = true;
    none.organisationId = 12345;
    EXPECT_EQ(store::deleteListRows(
                  *again, store::buildScheduleStatement(none, kScheduleToday()).statement),
              0);
}
