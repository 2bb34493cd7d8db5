#include "calendar_helpers.h"

#include "schedule/holiday_map.h"
#include "schedule/periods.h"

#include <gtest/gtest.h>

#include <QVariant>

#include <vector>

namespace {

struct PlanRow {
    int position;
    const char* periodEnd;
    const char* unshifted;
    const char* shifted;
    bool scheduled;
};

void expectRows(const QList<PeriodPlan>& plans, const std::vector<PlanRow>& rows) {
    for (const PlanRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "position " << row.position);
        ASSERT_LT(row.position, plans.size());
        const PeriodPlan& plan = plans[row.position];
        EXPECT_EQ(plan.periodEnd, day(row.periodEnd));
        EXPECT_EQ(plan.unshifted, day(row.unshifted));
        EXPECT_EQ(plan.shifted, day(row.shifted));
        EXPECT_EQ(plan.scheduled, row.scheduled);
    }
}

std::vector<QDate> days(std::initializer_list<const char*> texts) {
    std::vector<QDate> out;
    for (const char* text : texts)
        out.push_back(day(text));
    return out;
}

TEST(PeriodsTest, PeriodEndLists) {
    struct Case {
        int cycling;
        int year;
        std::vector<QDate> ends;
    };
    const Case cases[] = {
        {0, 2025,
         days({"31.12.2024", "31.01.2025", "28.02.2025", "31.03.2025", "30.04.2025", "31.05.2025",
               "30.06.2025", "31.07.2025", "31.08.2025", "30.09.2025", "31.10.2025", "30.11.2025",
               "31.12.2025"})},
        {0, 2024,
         days({"31.12.2023", "31.01.2024", "29.02.2024", "31.03.2024", "30.04.2024", "31.05.2024",
               "30.06.2024", "31.07.2024", "31.08.2024", "30.09.2024", "31.10.2024", "30.11.2024",
               "31.12.2024"})},
        {0, 2100,
         days({"31.12.2099", "31.01.2100", "28.02.2100", "31.03.2100", "30.04.2100", "31.05.2100",
               "30.06.2100", "31.07.2100", "31.08.2100", "30.09.2100", "31.10.2100", "30.11.2100",
               "31.12.2100"})},
        {1, 2024, days({"31.12.2023", "31.03.2024", "30.06.2024", "30.09.2024", "31.12.2024"})},
        {2, 2024, days({"31.12.2023", "31.12.2024"})},
        {3, 2024, {}},
        {-1, 2024, {}},
    };
    for (const Case& c : cases) {
        const QList<QDate> ends = periodEnds(c.cycling, c.year);
        EXPECT_EQ(std::vector<QDate>(ends.begin(), ends.end()), c.ends)
            << "cycling " << c.cycling << ", year " << c.year;
    }
}

TEST(PeriodsTest, OffsetRule) {
    struct Case {
        int cycling, dayAction, dayAction12, position, count, offset;
    };
    const Case cases[] = {
        {0, 20, 90, 0, 13, 90},
        {0, 20, 90, 1, 13, 20},
        {0, 20, 90, 11, 13, 20},
        {0, 20, 90, 12, 13, 90},
        {0, 20, kDayAction12NotSet, 0, 13, 20},
        {0, 20, kDayAction12NotSet, 12, 13, 20},
        {0, 20, 0, 0, 13, 0}, // 0 is a real term: the period end itself
        {0, 20, 0, 12, 13, 0},
        {1, 25, 60, 0, 5, 60},
        {1, 25, 60, 2, 5, 25},
        {1, 25, 60, 4, 5, 60},
        {2, 90, 30, 0, 2, 90}, // yearly reports ignore the special term
        {2, 90, 30, 1, 2, 90},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(periodOffset(c.cycling, c.dayAction, c.dayAction12, c.position, c.count),
                  c.offset)
            << "cycling " << c.cycling << ", position " << c.position << ", special term "
            << c.dayAction12;
    }
}

TEST(PeriodsTest, SpecialTermFromDatabase) {
    EXPECT_EQ(dayAction12FromDb(QVariant()), kDayAction12NotSet);
    EXPECT_EQ(dayAction12FromDb(QVariant(QMetaType::fromType<int>())), kDayAction12NotSet);
    EXPECT_EQ(dayAction12FromDb(-1000), kDayAction12NotSet);
    EXPECT_EQ(dayAction12FromDb(0), 0);
    EXPECT_EQ(dayAction12FromDb(90), 90);
    EXPECT_FALSE(isDayAction12Set(-1000));
    EXPECT_TRUE(isDayAction12Set(0));
}

// Monthly, 20 days, special term 90, run on 10.03.2025.
TEST(PeriodsTest, ExampleA_MonthlyWithSpecialTerm) {
    const QList<PeriodPlan> plans =
        planPeriods(0, 20, 90, 2025, day("10.03.2025"), typicalCalendar());
    ASSERT_EQ(plans.size(), 13);
    expectRows(plans, {
                          {1, "31.01.2025", "20.02.2025", "20.02.2025", false},
                          {2, "28.02.2025", "20.03.2025", "20.03.2025", true},
                          {3, "31.03.2025", "20.04.2025", "21.04.2025", true},
                          {4, "30.04.2025", "20.05.2025", "20.05.2025", true},
                          {5, "31.05.2025", "20.06.2025", "20.06.2025", true},
                          {6, "30.06.2025", "20.07.2025", "21.07.2025", true},
                          {7, "31.07.2025", "20.08.2025", "20.08.2025", true},
                          {8, "31.08.2025", "20.09.2025", "22.09.2025", true},
                          {9, "30.09.2025", "20.10.2025", "20.10.2025", true},
                          {10, "31.10.2025", "20.11.2025", "20.11.2025", true},
                          {11, "30.11.2025", "20.12.2025", "22.12.2025", true},
                          {12, "31.12.2025", "31.03.2026", "31.03.2026", true},
                      });
}

// E + DAY_ACTION (20.01.2025) has passed, but the 90-day deadline has not.
TEST(PeriodsTest, ExampleA_Position0_ScheduledUnderShiftedDeadlineRule) {
    const QList<PeriodPlan> plans =
        planPeriods(0, 20, 90, 2025, day("10.03.2025"), typicalCalendar());
    ASSERT_EQ(plans.size(), 13);
    expectRows(plans, {{0, "31.12.2024", "31.03.2025", "31.03.2025", true}});
}

// Quarterly, 25 days, no special term, run on 25.04.2024.
TEST(PeriodsTest, ExampleB_QuarterlyWithoutSpecialTerm) {
    const QList<PeriodPlan> plans =
        planPeriods(1, 25, kDayAction12NotSet, 2024, day("25.04.2024"), typicalCalendar());
    ASSERT_EQ(plans.size(), 5);
    expectRows(plans, {
                          {0, "31.12.2023", "25.01.2024", "25.01.2024", false},
                          {1, "31.03.2024", "25.04.2024", "25.04.2024", true}, // equal to today
                          {2, "30.06.2024", "25.07.2024", "25.07.2024", true},
                          {3, "30.09.2024", "25.10.2024", "25.10.2024", true},
                          {4, "31.12.2024", "25.01.2025", "27.01.2025", true},
                      });
}

// Yearly, 90 days, special term 30 (ignored), run on 15.01.2024.
TEST(PeriodsTest, ExampleC_YearlyIgnoresSpecialTerm) {
    const QList<PeriodPlan> plans =
        planPeriods(2, 90, 30, 2024, day("15.01.2024"), typicalCalendar());
    ASSERT_EQ(plans.size(), 2);
    expectRows(plans, {
                          {0, "31.12.2023", "30.03.2024", "01.04.2024", true},
                          {1, "31.12.2024", "31.03.2025", "31.03.2025", true},
                      });
}

// Monthly in a leap year, 20 days, no special term, run on 01.02.2024.
TEST(PeriodsTest, ExampleD_MonthlyInLeapYear) {
    const QList<PeriodPlan> plans =
        planPeriods(0, 20, kDayAction12NotSet, 2024, day("01.02.2024"), typicalCalendar());
    ASSERT_EQ(plans.size(), 13);
    expectRows(plans, {
                          {0, "31.12.2023", "20.01.2024", "22.01.2024", false},
                          {1, "31.01.2024", "20.02.2024", "20.02.2024", true},
                          {2, "29.02.2024", "20.03.2024", "20.03.2024", true},
                          {12, "31.12.2024", "20.01.2025", "20.01.2025", true},
                      });
    for (int i = 1; i < plans.size(); ++i)
        EXPECT_TRUE(plans[i].scheduled) << "position " << i;
}

TEST(PeriodsTest, UnknownPeriodicityPlansNothing) {
    for (int cycling : {3, -1, 100})
        EXPECT_TRUE(planPeriods(cycling, 20, 90, 2025, day("01.01.2025"), HolidayMap()).isEmpty())
            << cycling;
}

TEST(PeriodsTest, SpecialTermZeroAndNotSet) {
    const HolidayMap noHolidays;
    struct Case {
        int dayAction12;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {0, "31.12.2024", "31.12.2025"},
        {kDayAction12NotSet, "20.01.2025", "20.01.2026"},
    };
    for (const Case& c : cases) {
        const QList<PeriodPlan> plans =
            planPeriods(0, 20, c.dayAction12, 2025, day("01.01.2025"), noHolidays);
        ASSERT_EQ(plans.size(), 13);
        EXPECT_EQ(plans.first().unshifted, day(c.first)) << c.dayAction12;
        EXPECT_EQ(plans.last().unshifted, day(c.last)) << c.dayAction12;
        EXPECT_EQ(plans[6].unshifted, day("20.07.2025")) << c.dayAction12;
    }
}

TEST(PeriodsTest, DeadlineTodayIsScheduledTheDayAfterIsNot) {
    // Quarterly, 25 days: the second quarter's deadline 25.07.2024 is a Thursday.
    struct Case {
        const char* today;
        bool scheduled;
    };
    const Case cases[] = {{"24.07.2024", true}, {"25.07.2024", true}, {"26.07.2024", false}};
    for (const Case& c : cases) {
        const QList<PeriodPlan> plans =
            planPeriods(1, 25, kDayAction12NotSet, 2024, day(c.today), typicalCalendar());
        EXPECT_EQ(plans[2].scheduled, c.scheduled) << c.today;
    }
}

TEST(PeriodsTest, SundayDeadlineMovedOntoToday_ScheduledUnderShiftedDeadlineRule) {
    // 31.03.2025 + 20 = Sunday 20.04.2025, filed on Monday 21.04.2025.
    struct Case {
        const char* today;
        bool scheduled;
    };
    const Case cases[] = {{"20.04.2025", true}, {"21.04.2025", true}, {"22.04.2025", false}};
    for (const Case& c : cases) {
        const QList<PeriodPlan> plans =
            planPeriods(0, 20, kDayAction12NotSet, 2025, day(c.today), typicalCalendar());
        EXPECT_EQ(plans[3].shifted, day("21.04.2025"));
        EXPECT_EQ(plans[3].scheduled, c.scheduled) << c.today;
    }
}

TEST(PeriodsTest, PreviousDecemberWithSpecialTerm_ScheduledUnderShiftedDeadlineRule) {
    // Monthly, 20 days, special term 90: the December 2024 report is due on Monday 31.03.2025.
    struct Case {
        const char* today;
        bool scheduled;
    };
    const Case cases[] = {
        {"20.01.2025", true},
        {"21.01.2025", true}, // E + DAY_ACTION has passed, the special term has not
        {"31.03.2025", true},
        {"01.04.2025", false},
    };
    for (const Case& c : cases) {
        const QList<PeriodPlan> plans =
            planPeriods(0, 20, 90, 2025, day(c.today), typicalCalendar());
        expectRows(plans, {{0, "31.12.2024", "31.03.2025", "31.03.2025", c.scheduled}});
    }
}

TEST(PeriodsTest, RunOnFirstJanuaryUsesTheNewYear) {
    const QList<PeriodPlan> plans =
        planPeriods(1, 25, kDayAction12NotSet, 2026, day("01.01.2026"), typicalCalendar());
    ASSERT_EQ(plans.size(), 5);
    EXPECT_EQ(plans.first().periodEnd, day("31.12.2025"));
    EXPECT_EQ(plans.last().periodEnd, day("31.12.2026"));
    for (const PeriodPlan& plan : plans)
        EXPECT_TRUE(plan.scheduled) << plan.periodEnd.toString().toStdString();
    // 25.01.2026 is a Sunday.
    EXPECT_EQ(plans.first().shifted, day("26.01.2026"));
}

TEST(PeriodsTest, TodayIsAskedAgainForEveryPeriod) {
    // Monthly, 20 days: January's deadline is Thursday 20.02.2025. A run that starts on that day
    // and crosses midnight before it reaches January no longer schedules it.
    int calls = 0;
    const auto acrossMidnight = [&calls] {
        return calls++ == 0 ? day("20.02.2025") : day("21.02.2025");
    };
    const QList<PeriodPlan> late =
        planPeriods(0, 20, kDayAction12NotSet, 2025, acrossMidnight, typicalCalendar());
    EXPECT_EQ(calls, 13);
    EXPECT_FALSE(late[1].scheduled);
    EXPECT_TRUE(late[2].scheduled);

    const QList<PeriodPlan> sameDay =
        planPeriods(0, 20, kDayAction12NotSet, 2025, day("20.02.2025"), typicalCalendar());
    EXPECT_TRUE(sameDay[1].scheduled);
}

TEST(PeriodsTest, CorrectionOffset) {
    const QDate begin = day("31.12.2024");
    const QDate end = day("31.12.2025");
    struct Case {
        int cycling, dayAction, dayAction12;
        const char* periodEnd;
        int offset;
    };
    const Case cases[] = {
        {0, 20, 90, "31.12.2024", 90},
        {0, 20, 90, "31.12.2025", 90},
        {0, 20, 90, "31.01.2025", 20},
        {0, 20, 90, "30.11.2025", 20},
        {1, 25, 60, "31.12.2024", 60},
        {1, 25, 60, "31.12.2025", 60},
        {1, 25, 60, "30.09.2025", 25},
        {2, 90, 30, "31.12.2024", 90}, // yearly: the special term never applies
        {2, 90, 30, "31.12.2025", 90},
        {0, 20, kDayAction12NotSet, "31.12.2024", 20},
        {0, 20, 0, "31.12.2025", 0},
        {0, 0, kDayAction12NotSet, "31.03.2025", 0}, // the report row is gone: all NULL
        {3, 20, 90, "31.12.2025", 20},
        {0, 20, 90, "31.12.2023", 20}, // outside the span
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            correctionOffset(c.cycling, c.dayAction, c.dayAction12, day(c.periodEnd), begin, end),
            c.offset)
            << "cycling " << c.cycling << ", period end " << c.periodEnd;
    }
}

// Recomputing the entries a run generated, with the same terms and calendar, changes nothing.
TEST(PeriodsTest, CorrectionReproducesGeneratedDeadlines) {
    const HolidayMap calendar = typicalCalendar();
    struct Terms {
        int cycling, dayAction, dayAction12;
    };
    const Terms terms[] = {{0, 20, 90}, {0, 15, kDayAction12NotSet}, {0, 28, 0},
                           {1, 25, 60}, {1, 30, kDayAction12NotSet}, {2, 90, 30}};
    for (int year : {2024, 2025, 2026}) {
        const QDate begin(year - 1, 12, 31);
        const QDate end(year, 12, 31);
        for (const Terms& t : terms) {
            const QList<PeriodPlan> plans = planPeriods(t.cycling, t.dayAction, t.dayAction12, year,
                                                        QDate(year, 1, 1), calendar);
            for (const PeriodPlan& plan : plans) {
                const int offset = correctionOffset(t.cycling, t.dayAction, t.dayAction12,
                                                    plan.periodEnd, begin, end);
                EXPECT_EQ(calendar.ShiftToWorkDay(plan.periodEnd.addDays(offset)), plan.shifted)
                    << "cycling " << t.cycling << ", period end "
                    << plan.periodEnd.toString().toStdString();
            }
        }
    }
}

} // namespace
