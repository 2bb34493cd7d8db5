#pragma once

#include <QDate>
#include <QVariant>

#include <array>
#include <cstdint>

// The yearless holiday calendar: each (day, month) is a holiday, a working day (a weekend day on
// which reports are filed), or unmarked. Filled row by row from BUH_HOLIDAY in the order the
// database returns them; the deadline shift asks it for every deadline it computes, so look-ups
// are a plain array index.
class HolidayMap {
public:
    // How many days the shift walks forward before it gives up: a calendar in which every day is
    // a holiday would otherwise never end.
    static constexpr int kMaxShiftSteps = 366;

    HolidayMap() { clear(); }

    void clear();

    // One BUH_HOLIDAY row (DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK). A later row for the same day
    // overwrites an earlier one; an empty HOLIDAY_WORK removes the mark; a value other than 0
    // and 1 is kept but counts as neither holiday nor working day.
    void addRow(const QVariant& day, const QVariant& month, const QVariant& holidayWork);

    bool IsBuhHoliday(int day, int month) const;
    bool IsBuhWorkDay(int day, int month) const;

    // The first filing day on or after the date: holidays always move the deadline, Saturdays
    // and Sundays move it unless marked as working days. Gives up after kMaxShiftSteps steps
    // and then returns the date unchanged.
    QDate ShiftToWorkDay(const QDate& date) const;

    // Number of marked days (holiday, working day or another value).
    int size() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }

private:
    enum Mark : std::uint8_t { None, Holiday, WorkDay, Other };

    Mark mark(int day, int month) const;

    std::array<std::array<Mark, 32>, 13> m_marks{};
    int m_count = 0;
};
