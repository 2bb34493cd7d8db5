#include "schedule_db.h"

#include "core/clock.h"
#include "fb/error.h"
#include "schedule/periods.h"
#include "schedule/schedule_engine.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <QSet>

#include <memory>

namespace {

// Assignments the all-reports selection yields: the archived and the switched-off one are not
// among them, the one with an unknown periodicity is (and gives no entries).
constexpr int kSelectedAssignments = 5;

std::vector<StoredEntry> quarterlyEntries(int org) {
    return {
        {org, 1, 1, dmy("31.03.2025"), dmy("25.04.2025")},
        {org, 1, 1, dmy("30.06.2025"), dmy("28.07.2025")}, // Friday 25 July is off
        {org, 1, 1, dmy("30.09.2025"), dmy("25.10.2025")}, // a working Saturday
        {org, 1, 1, dmy("31.12.2025"), dmy("26.01.2026")}, // Sunday
    };
}

// Today 10.03.2025. The quarterly report's 31.12.2024 period (deadline 27.01.2025) and the
// monthly report's January (20.02.2025) are past; the monthly report's 31.12.2024 period runs
// on its 90-day special term and is still ahead.
std::vector<StoredEntry> expectedSchedule() {
    std::vector<StoredEntry> all = quarterlyEntries(10);
    const std::vector<StoredEntry> rest = {
        {10, 2, 2, dmy("31.12.2024"), dmy("31.03.2025")},
        {10, 2, 2, dmy("31.12.2025"), dmy("31.03.2026")},
        {10, 3, 0, dmy("31.12.2024"), dmy("31.03.2025")},
        {10, 3, 0, dmy("28.02.2025"), dmy("20.03.2025")},
        {10, 3, 0, dmy("31.03.2025"), dmy("21.04.2025")},
        {10, 3, 0, dmy("30.04.2025"), dmy("20.05.2025")},
        {10, 3, 0, dmy("31.05.2025"), dmy("20.06.2025")},
        {10, 3, 0, dmy("30.06.2025"), dmy("21.07.2025")},
        {10, 3, 0, dmy("31.07.2025"), dmy("20.08.2025")},
        {10, 3, 0, dmy("31.08.2025"), dmy("22.09.2025")},
        {10, 3, 0, dmy("30.09.2025"), dmy("20.10.2025")},
        {10, 3, 0, dmy("31.10.2025"), dmy("20.11.2025")},
        {10, 3, 0, dmy("30.11.2025"), dmy("22.12.2025")},
        {10, 3, 0, dmy("31.12.2025"), dmy("31.03.2026")},
    };
    all.insert(all.end(), rest.begin(), rest.end());
    for (const StoredEntry& e : quarterlyEntries(20))
        all.push_back(e);
    return all;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_db.exec(QString::fromUtf8(kBooksSql) + QString::fromUtf8(kTestCalendarSql));
        m_att = m_db.connect();
        m_clock.setToday(dmy("10.03.2025"));
        m_engine = std::make_unique<ScheduleEngine>(*m_att, m_clock);
    }

    TestDatabase m_db;
    std::unique_ptr<fb::Attachment> m_att;
    FixedClock m_clock;
    std::unique_ptr<ScheduleEngine> m_engine;
};

TEST_F(EngineTest, AllReportsRunSchedulesSwitchedOnAssignmentsOfActiveReports) {
    std::vector<int> progress;
    const RunResult result = m_engine->CreateBuhHistoryForAccount(-1, [&](int done) {
        progress.push_back(done);
        return true;
    });

    EXPECT_EQ(result.stored, 22);
    EXPECT_EQ(result.changed, 22) << "every entry is new";
    EXPECT_EQ(result.failed, 0);
    EXPECT_TRUE(result.lastErrorText.isEmpty());
    EXPECT_FALSE(result.endedEarly);
    EXPECT_EQ(readEntries(*m_att), expectedSchedule());
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(m_engine->holidays().IsBuhHoliday(25, 7)) << "the run read the calendar";
}

TEST_F(EngineTest, OneReportRunTouchesOnlyThatReport) {
    const RunResult result = m_engine->CreateBuhHistoryForAccount(1);
    std::vector<StoredEntry> expected = quarterlyEntries(10);
    for (const StoredEntry& e : quarterlyEntries(20))
        expected.push_back(e);
    EXPECT_EQ(result.stored, 8);
    EXPECT_EQ(readEntries(*m_att), expected);

    // The archived report is not scheduled even when asked for by its own id.
    const RunResult archived = m_engine->CreateBuhHistoryForAccount(4);
    EXPECT_EQ(archived.stored, 0);
    EXPECT_TRUE(archived.clean());
    EXPECT_EQ(readEntries(*m_att), expected);
}

TEST_F(EngineTest, RunningAgainKeepsOneEntryPerPeriodAndSubmittedDeadlines) {
    ASSERT_TRUE(m_engine->CreateBuhHistoryForAccount(-1).clean());
    // The March entry of the monthly report is submitted; then its term changes to 25 days.
    m_db.exec("UPDATE BUH_HISTORY SET DT_ACTUAL = '2025-04-15' WHERE ORGANIZATION_ID = 10 AND "
              "BUH_ACCOUNT_ID = 3 AND DT_END_ACCOUNT = '2025-03-31';"
              "UPDATE BUH_ACCOUNT SET DAY_ACTION = 25 WHERE ID = 3;");
    const std::vector<StoredEntry> before = readEntries(*m_att);

    const RunResult again = m_engine->CreateBuhHistoryForAccount(-1);
    EXPECT_EQ(again.stored, 22);
    EXPECT_TRUE(again.clean());
    // Only the entries whose deadline moved count as written; the submitted one is left alone.
    const std::vector<StoredEntry> after = readEntries(*m_att);
    ASSERT_EQ(before.size(), after.size());
    int moved = 0;
    for (size_t i = 0; i < after.size(); ++i)
        moved += before[i].deadline != after[i].deadline ? 1 : 0;
    EXPECT_GT(moved, 0);
    EXPECT_EQ(again.changed, moved);
    EXPECT_EQ(m_engine->CreateBuhHistoryForAccount(-1).changed, 0) << "nothing left to change";

    std::vector<StoredEntry> expected = expectedSchedule();
    for (StoredEntry& e : expected) {
        if (e.reportId != 3 || e.periodEnd.month() == 12 || e.periodEnd == dmy("31.03.2025"))
            continue; // year-end periods keep the special term; the submitted one its deadline
        e.deadline = m_engine->holidays().ShiftToWorkDay(e.periodEnd.addDays(25));
    }
    EXPECT_EQ(readEntries(*m_att), expected);
    EXPECT_EQ(scalar(*m_att, "SELECT COUNT(*) FROM (SELECT DISTINCT ORGANIZATION_ID, "
                             "BUH_ACCOUNT_ID, DT_END_ACCOUNT FROM BUH_HISTORY)")
                  .toInt(),
              22);
    // Spot check of the moved deadlines: 30.04 + 25 = Sunday 25 May.
    EXPECT_EQ(scalar(*m_att, "SELECT CAST(DT_ACTION AS DATE) FROM BUH_HISTORY WHERE "
                             "BUH_ACCOUNT_ID = 3 AND DT_END_ACCOUNT = '2025-04-30'")
                  .toDate(),
              dmy("26.05.2025"));
}

TEST_F(EngineTest, EntriesTheDatabaseRefusesAreCountedAndTheOthersStored) {
    // Refuses every entry of the period ending 30.06.2025: one quarterly entry per organisation
    // and the monthly one. Small batches put refusals inside, at the start of and between
    // commits.
    m_db.exec("CREATE EXCEPTION E_REFUSED 'Период закрыт для записи';"
              "SET TERM ^ ;"
              "CREATE TRIGGER BUH_HISTORY_REFUSE FOR BUH_HISTORY ACTIVE BEFORE INSERT POSITION 5 "
              "AS BEGIN IF (NEW.DT_END_ACCOUNT = '2025-06-30') THEN EXCEPTION E_REFUSED; END^"
              "SET TERM ; ^");
    std::vector<StoredEntry> expected;
    for (const StoredEntry& e : expectedSchedule()) {
        if (e.periodEnd != dmy("30.06.2025"))
            expected.push_back(e);
    }

    for (int batch : {1, 2, 7, ScheduleEngine::kDefaultBatchSize}) {
        SCOPED_TRACE(batch);
        m_db.exec("DELETE FROM BUH_HISTORY;");
        m_engine->setBatchSize(batch);
        const RunResult result = m_engine->CreateBuhHistoryForAccount(-1);
        EXPECT_EQ(result.stored, 19);
        EXPECT_EQ(result.failed, 3);
        EXPECT_TRUE(result.lastErrorText.contains(QStringLiteral("Период закрыт для записи")))
            << result.lastErrorText.toStdString();
        EXPECT_FALSE(result.endedEarly);
        EXPECT_EQ(readEntries(*m_att), expected);
    }
}

TEST_F(EngineTest, StopsWhenTheProgressCallbackSaysSo) {
    int calls = 0;
    const RunResult result = m_engine->CreateBuhHistoryForAccount(-1, [&](int done) {
        ++calls;
        return done < 2;
    });
    EXPECT_TRUE(result.endedEarly);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(result.failed, 0);

    // The entries of the first two assignments were kept, those of the others never written.
    const std::vector<StoredEntry> entries = readEntries(*m_att);
    EXPECT_EQ(result.stored, static_cast<int>(entries.size()));
    QSet<std::pair<int, int>> assignments;
    for (const StoredEntry& e : entries)
        assignments.insert({e.organisationId, e.reportId});
    EXPECT_LE(assignments.size(), 2);
    EXPECT_LT(entries.size(), expectedSchedule().size());
}

TEST_F(EngineTest, SingleAssignmentReadsTheCalendarAndTheClockOnEveryCall) {
    struct Case {
        const char* today;
        std::vector<StoredEntry> entries; // quarterly report for organisation 20
    };
    const Case cases[] = {
        {"26.07.2025",
         {{20, 1, 1, dmy("30.06.2025"), dmy("28.07.2025")},
          {20, 1, 1, dmy("30.09.2025"), dmy("25.10.2025")},
          {20, 1, 1, dmy("31.12.2025"), dmy("26.01.2026")}}},
        // The new year's list starts with the December just passed.
        {"02.01.2026",
         {{20, 1, 1, dmy("31.12.2025"), dmy("26.01.2026")},
          {20, 1, 1, dmy("31.03.2026"), dmy("27.04.2026")},
          {20, 1, 1, dmy("30.06.2026"), dmy("27.07.2026")},
          {20, 1, 1, dmy("30.09.2026"), dmy("25.10.2026")}, // the mark holds for a Sunday too
          {20, 1, 1, dmy("31.12.2026"), dmy("25.01.2027")}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.today);
        m_db.exec("DELETE FROM BUH_HISTORY;");
        m_clock.setToday(dmy(c.today));
        const RunResult result = m_engine->CreateBuhHistory(1, 20, 1, 25, kDayAction12NotSet);
        EXPECT_EQ(result.stored, static_cast<int>(c.entries.size()));
        EXPECT_TRUE(result.clean());
        EXPECT_EQ(readEntries(*m_att), c.entries);
    }

    // A holiday entered between two calls moves the deadline of the next call.
    m_db.exec("INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('Новый "
              "праздник', 25, 1, 0);");
    m_engine->CreateBuhHistory(1, 20, 1, 25, kDayAction12NotSet);
    EXPECT_EQ(scalar(*m_att, "SELECT CAST(DT_ACTION AS DATE) FROM BUH_HISTORY WHERE "
                             "DT_END_ACCOUNT = '2026-12-31'")
                  .toDate(),
              dmy("26.01.2027"));

    // An unknown periodicity writes nothing and is no failure.
    m_db.exec("DELETE FROM BUH_HISTORY;");
    const RunResult none = m_engine->CreateBuhHistory(5, 10, 3, 10, kDayAction12NotSet);
    EXPECT_EQ(none.stored, 0);
    EXPECT_TRUE(none.clean());
    EXPECT_TRUE(readEntries(*m_att).empty());
}

TEST_F(EngineTest, ErrorOutsideAnEntryEndsTheRunWithTheEngineText) {
    m_db.exec("DROP PROCEDURE ADD_BUH_HISTORY;");

    const RunResult result = m_engine->CreateBuhHistoryForAccount(-1);
    EXPECT_TRUE(result.endedEarly);
    EXPECT_EQ(result.stored, 0);
    EXPECT_TRUE(result.lastErrorText.contains(QStringLiteral("ADD_BUH_HISTORY")))
        << result.lastErrorText.toStdString();

    // Called alone, the engine leaves such an error to its caller.
    EXPECT_THROW(m_engine->CreateBuhHistory(1, 20, 1, 25, kDayAction12NotSet), fb::Error);
}

} // namespace
