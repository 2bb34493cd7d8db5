#pragma once

#include <QDate>
#include <QList>
#include <QVariant>

#include <functional>

class HolidayMap;

// A report's special term for the year-end period is NULL in the database when not set; the
// engine carries "not set" as this value, and a stored -1000 means not set as well.
inline constexpr int kDayAction12NotSet = -1000;

inline bool isDayAction12Set(int dayAction12) {
    return dayAction12 != kDayAction12NotSet;
}

// DAY_ACTION_12 as read from a dataset: NULL becomes kDayAction12NotSet.
int dayAction12FromDb(const QVariant& value);

// Period end dates of year Y for a periodicity (0 month, 1 quarter, 2 year), from 31 December
// of Y-1 to 31 December of Y: 13, 5 or 2 dates; any other periodicity has none.
QList<QDate> periodEnds(int cycling, int year);

// Days from the period end to the unshifted deadline for position `position` of a list of
// `count` periods: monthly and quarterly lists give their first and last period (both a
// 31 December) the special term when it is set; everything else uses DAY_ACTION.
int periodOffset(int cycling, int dayAction, int dayAction12, int position, int count);

struct PeriodPlan {
    QDate periodEnd;
    QDate unshifted;        // periodEnd + offset
    QDate shifted;          // unshifted moved to a filing day
    bool scheduled = false; // the shifted deadline is today or later
};

// Every period of year Y for one report, in list order, with its deadlines. A period is
// scheduled when its deadline after the working-day shift is not earlier than today, so a
// year-end report whose special term is still running, or whose weekend deadline moved onto
// today, is still generated. Skipped periods stay in the list with scheduled = false.
QList<PeriodPlan> planPeriods(int cycling, int dayAction, int dayAction12, int year,
                              const QDate& today, const HolidayMap& holidays);

// The same, asking the clock for today again before each period, so that a run crossing
// midnight tests its later periods against the new date.
QList<PeriodPlan> planPeriods(int cycling, int dayAction, int dayAction12, int year,
                              const std::function<QDate()>& today, const HolidayMap& holidays);

// Offset used when existing entries are recomputed after the calendar changed: the special term
// applies to monthly and quarterly entries whose period ends on the first or the last day of
// the span (31.12 of Y-1 and of Y), which are exactly the year-end periods generation makes.
int correctionOffset(int cycling, int dayAction, int dayAction12, const QDate& periodEnd,
                     const QDate& spanBegin, const QDate& spanEnd);
