#include "calendar_helpers.h"

#include "schedule/holiday_map.h"

#include <gtest/gtest.h>

#include <QVariant>

namespace {

struct ShiftCase {
    const char* unshifted;
    const char* shifted;
    const char* why;
};

TEST(HolidayMapTest, ShiftsTheTypicalCalendarExamples) {
    const HolidayMap map = typicalCalendar();
    const ShiftCase cases[] = {
        {"20.04.2025", "21.04.2025", "Sunday"},
        {"20.09.2025", "22.09.2025", "Saturday and Sunday"},
        {"01.05.2026", "04.05.2026", "holiday Friday, then Saturday and Sunday"},
        {"08.03.2025", "10.03.2025", "holiday Saturday, then Sunday"},
        {"23.02.2025", "24.02.2025", "holiday tested before the weekend"},
        {"04.11.2024", "05.11.2024", "holiday on a Monday"},
        {"01.11.2025", "01.11.2025", "working Saturday is not moved"},
        {"31.12.2025", "09.01.2026", "nine holidays in a row across the year end"},
    };
    for (const ShiftCase& c : cases)
        EXPECT_EQ(map.ShiftToWorkDay(day(c.unshifted)), day(c.shifted)) << c.why;
}

TEST(HolidayMapTest, ShiftEdgeCases) {
    HolidayMap map = typicalCalendar();
    map.addRow(14, 6, 0); // a Saturday holiday (2025)
    map.addRow(18, 6, 1); // a Wednesday working day (2025)
    map.addRow(29, 2, 0);
    const ShiftCase cases[] = {
        {"10.06.2023", "13.06.2023", "Saturday, Sunday, then the holiday Monday 12 June"},
        {"14.06.2025", "16.06.2025", "a Saturday marked as holiday moves like any weekend"},
        {"18.06.2025", "18.06.2025", "a Wednesday marked as working day is a filing day anyway"},
        {"17.06.2025", "17.06.2025", "an ordinary weekday"},
        {"29.02.2024", "01.03.2024", "29/2 acts in a leap year"},
        {"28.02.2025", "28.02.2025", "and has nothing to act on in other years"},
        {"31.12.2026", "11.01.2027", "past the New Year holidays and then a weekend"},
        {"31.12.2022", "09.01.2023", "a Saturday 31 December into the holidays"},
    };
    for (const ShiftCase& c : cases)
        EXPECT_EQ(map.ShiftToWorkDay(day(c.unshifted)), day(c.shifted)) << c.why;
}

TEST(HolidayMapTest, EmptyCalendarMovesOnlyWeekends) {
    const HolidayMap map;
    EXPECT_TRUE(map.isEmpty());
    const ShiftCase cases[] = {
        {"01.01.2025", "01.01.2025", "no holidays at all"},
        {"04.01.2025", "06.01.2025", "Saturday"},
        {"05.01.2025", "06.01.2025", "Sunday"},
        {"09.05.2025", "09.05.2025", "Friday"},
    };
    for (const ShiftCase& c : cases)
        EXPECT_EQ(map.ShiftToWorkDay(day(c.unshifted)), day(c.shifted)) << c.why;
}

TEST(HolidayMapTest, LookUpsByValue) {
    HolidayMap map;
    map.addRow(1, 1, 0);
    map.addRow(2, 1, 1);
    map.addRow(3, 1, 2);
    map.addRow(4, 1, QVariant());
    map.addRow(QStringLiteral("5"), QStringLiteral("1"), QStringLiteral("0")); // text columns

    struct Case {
        int day, month;
        bool holiday, workDay;
    };
    const Case cases[] = {
        {1, 1, true, false},   {2, 1, false, true},  {3, 1, false, false},  {4, 1, false, false},
        {5, 1, true, false},   {6, 1, false, false}, {1, 2, false, false},  {0, 1, false, false},
        {32, 1, false, false}, {1, 0, false, false}, {1, 13, false, false}, {-1, -1, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(map.IsBuhHoliday(c.day, c.month), c.holiday) << c.day << "/" << c.month;
        EXPECT_EQ(map.IsBuhWorkDay(c.day, c.month), c.workDay) << c.day << "/" << c.month;
    }
    EXPECT_EQ(map.size(), 4); // 0, 1, 2 and the text row; the NULL row marks nothing
}

TEST(HolidayMapTest, LaterRowsDecide) {
    struct Case {
        const char* name;
        std::vector<QVariant> values; // HOLIDAY_WORK of successive rows for 7/7
        bool holiday, workDay;
    };
    const Case cases[] = {
        {"holiday then working day", {0, 1}, false, true},
        {"working day then holiday", {1, 0}, true, false},
        {"holiday then NULL removes the mark", {0, QVariant()}, false, false},
        {"working day then NULL", {1, QVariant()}, false, false},
        {"NULL then holiday", {QVariant(), 0}, true, false},
        {"holiday, NULL, working day", {0, QVariant(), 1}, false, true},
        {"holiday then 2 counts as neither", {0, 2}, false, false},
        {"empty text removes like NULL", {0, QString()}, false, false},
    };
    for (const Case& c : cases) {
        HolidayMap map;
        for (const QVariant& value : c.values)
            map.addRow(7, 7, value);
        EXPECT_EQ(map.IsBuhHoliday(7, 7), c.holiday) << c.name;
        EXPECT_EQ(map.IsBuhWorkDay(7, 7), c.workDay) << c.name;
    }
}

TEST(HolidayMapTest, RemovedMarkNoLongerMovesTheDeadline) {
    HolidayMap map;
    map.addRow(9, 5, 0);
    EXPECT_EQ(map.ShiftToWorkDay(day("09.05.2025")), day("12.05.2025"));
    map.addRow(9, 5, QVariant());
    EXPECT_EQ(map.ShiftToWorkDay(day("09.05.2025")), day("09.05.2025"));
    EXPECT_TRUE(map.isEmpty());
}

TEST(HolidayMapTest, RowsThatNameNoDayAreIgnored) {
    HolidayMap map;
    map.addRow(QVariant(), 5, 0);
    map.addRow(1, QVariant(), 0);
    map.addRow(0, 5, 0);
    map.addRow(32, 5, 0);
    map.addRow(1, 13, 0);
    map.addRow(QStringLiteral("01"), 5, 0); // a day is written without leading zeros
    EXPECT_TRUE(map.isEmpty());
    EXPECT_FALSE(map.IsBuhHoliday(1, 5));
}

TEST(HolidayMapTest, ClearEmptiesTheMap) {
    HolidayMap map = typicalCalendar();
    EXPECT_EQ(map.size(), 16);
    map.clear();
    EXPECT_TRUE(map.isEmpty());
    EXPECT_FALSE(map.IsBuhHoliday(1, 1));
    EXPECT_FALSE(map.IsBuhWorkDay(1, 11));
    EXPECT_EQ(map.ShiftToWorkDay(day("01.01.2025")), day("01.01.2025"));
}

// Every day of the year (29/2 included) is a holiday, except the ones left unmarked.
HolidayMap holidaysEverywhereBut(int freeDay, int freeMonth) {
    HolidayMap map;
    for (QDate d = day("01.01.2024"); d.year() == 2024; d = d.addDays(1)) {
        if (d.day() != freeDay || d.month() != freeMonth)
            map.addRow(d.day(), d.month(), 0);
    }
    return map;
}

TEST(HolidayMapTest, ShiftGivesUpAfter366StepsAndKeepsTheDate) {
    const HolidayMap allHolidays = holidaysEverywhereBut(0, 0);
    EXPECT_EQ(allHolidays.size(), 366);
    EXPECT_EQ(allHolidays.ShiftToWorkDay(day("15.06.2025")), day("15.06.2025"));

    // Only 1 March is free, and it must fall on a weekday.
    const HolidayMap onlyFirstMarch = holidaysEverywhereBut(1, 3);
    const ShiftCase cases[] = {
        {"01.03.2015", "01.03.2016", "Sunday to Tuesday a leap year later: exactly 366 steps"},
        {"01.03.2014", "01.03.2014", "Saturday, then Sunday a year later: gives up"},
        {"02.03.2015", "01.03.2016", "365 steps"},
    };
    for (const ShiftCase& c : cases)
        EXPECT_EQ(onlyFirstMarch.ShiftToWorkDay(day(c.unshifted)), day(c.shifted)) << c.why;
    EXPECT_EQ(day("01.03.2015").daysTo(day("01.03.2016")), HolidayMap::kMaxShiftSteps);
}

TEST(HolidayMapTest, InvalidDateIsReturnedAsItIs) {
    EXPECT_FALSE(typicalCalendar().ShiftToWorkDay(QDate()).isValid());
}

} // namespace
