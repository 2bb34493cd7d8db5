#include "schedule_db.h"

#include "core/clock.h"
#include "schedule/holiday_map.h"
#include "schedule/schedule_correction.h"
#include "schedule/schedule_engine.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CorrectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Report 6 has no periodicity and no term at all.
        m_db.exec(QString::fromUtf8(kBooksSql) +
                  "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, "
                  "DAY_WARNING, DEL) VALUES (6, 'Без сроков', NULL, NULL, NULL, NULL, 0);");
        m_att = m_db.connect();
        m_clock.setToday(dmy("10.03.2025"));
    }

    void addCalendar() { m_db.exec(QString::fromUtf8(kTestCalendarSql)); }

    TestDatabase m_db;
    std::unique_ptr<fb::Attachment> m_att;
    FixedClock m_clock;
    HolidayMap m_map;
};

TEST_F(CorrectionTest, RecomputesTheSpanWithTheReportsCurrentTerms) {
    struct Case {
        int report, org, storedCycling;
        const char* periodEnd;
        const char* stored;
        const char* expected;
        const char* why;
    };
    const Case cases[] = {
        {3, 10, 0, "31.12.2023", "01.01.2024", "01.01.2024", "two years back: outside the span"},
        {3, 10, 0, "30.11.2024", "01.12.2024", "01.12.2024", "before the span"},
        {3, 10, 2, "31.12.2024", "20.01.2025", "31.03.2025",
         "first day of the span: the special term, by the report's periodicity, not the entry's"},
        {3, 10, 0, "31.01.2025", "25.02.2025", "20.02.2025", "past deadlines are recomputed too"},
        {3, 10, 0, "31.03.2025", "20.04.2025", "21.04.2025", "Sunday moves to Monday"},
        {3, 10, 0, "31.12.2025", "20.01.2026", "31.03.2026", "last day of the span"},
        {3, 10, 0, "31.01.2026", "20.02.2026", "20.02.2026", "after the span"},
        {2, 10, 2, "31.12.2024", "30.01.2025", "31.03.2025", "yearly: special term ignored"},
        {2, 10, 2, "31.12.2025", "30.01.2026", "31.03.2026", "yearly: special term ignored"},
        {1, 10, 1, "30.06.2025", "25.07.2025", "28.07.2025", "a new holiday moves it on"},
        {1, 10, 1, "30.09.2025", "27.10.2025", "25.10.2025", "a working Saturday moves it back"},
        {1, 10, 1, "31.03.2025", "25.04.2025", "25.04.2025", "already right: not written"},
        {6, 10, 0, "31.05.2025", "20.06.2025", "02.06.2025", "no terms: the period end, shifted"},
        {6, 10, 0, "31.12.2025", "20.01.2026", "09.01.2026", "no terms, across the holidays"},
        {3, 20, 0, "28.02.2025", "24.03.2025", "20.03.2025", "submitted entries too"},
    };
    QString sql;
    int expectedChanges = 0;
    for (const Case& c : cases) {
        sql +=
            QStringLiteral("EXECUTE PROCEDURE ADD_BUH_HISTORY (%1, %2, %3, '%4', '%5');")
                .arg(c.report)
                .arg(c.org)
                .arg(c.storedCycling)
                .arg(dmy(c.periodEnd).toString(Qt::ISODate), dmy(c.stored).toString(Qt::ISODate));
        expectedChanges += QByteArray(c.stored) != QByteArray(c.expected);
    }
    sql += "UPDATE BUH_HISTORY SET DT_ACTUAL = '2025-03-15' WHERE ORGANIZATION_ID = 20;";
    m_db.exec(sql);
    addCalendar();

    int lastDone = 0;
    const CorrectionResult result =
        correctSchedule(*m_att, m_clock, m_map, [&](int done) { lastDone = done; });

    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.errorText.isEmpty());
    EXPECT_EQ(result.changed, expectedChanges);
    EXPECT_EQ(lastDone, 12) << "the entries of the span were walked once";
    EXPECT_TRUE(m_map.IsBuhWorkDay(25, 10)) << "the map stays loaded";
    for (const Case& c : cases) {
        const QDate deadline =
            scalar(*m_att, QStringLiteral("SELECT DT_ACTION FROM BUH_HISTORY WHERE BUH_ACCOUNT_ID "
                                          "= %1 AND ORGANIZATION_ID = %2 AND DT_END_ACCOUNT = '%3'")
                               .arg(c.report)
                               .arg(c.org)
                               .arg(dmy(c.periodEnd).toString(Qt::ISODate)))
                .toDateTime()
                .date();
        EXPECT_EQ(deadline, dmy(c.expected)) << c.periodEnd << ": " << c.why;
    }

    // Nothing differs any more, so a second run writes nothing.
    EXPECT_EQ(correctSchedule(*m_att, m_clock, m_map).changed, 0);
}

TEST_F(CorrectionTest, AfterACalendarChangeDeadlinesAreWhatGenerationNowGives) {
    // Generated on 1 January, before the calendar was entered: every period of the year.
    m_clock.setToday(dmy("01.01.2025"));
    ScheduleEngine engine(*m_att, m_clock);
    ASSERT_TRUE(engine.CreateBuhHistoryForAccount(-1).clean());
    const std::vector<StoredEntry> before = readEntries(*m_att);

    addCalendar();
    const CorrectionResult result = correctSchedule(*m_att, m_clock, m_map);
    ASSERT_TRUE(result.ok);
    const std::vector<StoredEntry> corrected = readEntries(*m_att);
    int moved = 0;
    for (size_t i = 0; i < before.size(); ++i)
        moved += before[i].deadline != corrected[i].deadline;
    EXPECT_GT(moved, 0);
    EXPECT_EQ(result.changed, moved);

    ASSERT_TRUE(engine.CreateBuhHistoryForAccount(-1).clean());
    EXPECT_EQ(readEntries(*m_att), corrected);
}

TEST_F(CorrectionTest, FailureChangesNothing) {
    m_clock.setToday(dmy("01.01.2025"));
    ScheduleEngine engine(*m_att, m_clock);
    ASSERT_TRUE(engine.CreateBuhHistoryForAccount(-1).clean());
    // Written last, so the run has already moved other deadlines when this one is refused.
    m_db.exec("EXECUTE PROCEDURE ADD_BUH_HISTORY (1, -1, 1, '2025-03-31', '2000-01-01');"
              "CREATE EXCEPTION E_LOCKED 'Запись заблокирована';"
              "SET TERM ^ ;"
              "CREATE TRIGGER BUH_HISTORY_LOCKED FOR BUH_HISTORY ACTIVE BEFORE UPDATE POSITION 5 "
              "AS BEGIN IF (OLD.ORGANIZATION_ID = -1) THEN EXCEPTION E_LOCKED; END^"
              "SET TERM ; ^");
    addCalendar();
    const std::vector<StoredEntry> before = readEntries(*m_att);

    int lastDone = 0;
    const CorrectionResult result =
        correctSchedule(*m_att, m_clock, m_map, [&](int done) { lastDone = done; });

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.changed, 0);
    EXPECT_TRUE(result.errorText.contains(QStringLiteral("Запись заблокирована")))
        << result.errorText.toStdString();
    EXPECT_GT(lastDone, 0);
    EXPECT_EQ(readEntries(*m_att), before);
}

} // namespace
