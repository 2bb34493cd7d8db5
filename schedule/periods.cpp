#include "schedule/periods.h"

#include "schedule/holiday_map.h"

int dayAction12FromDb(const QVariant& value) {
    if (value.isNull())
        return kDayAction12NotSet;
    bool ok = false;
    const int days = value.toInt(&ok);
    return ok ? days : kDayAction12NotSet;
}

QList<QDate> periodEnds(int cycling, int year) {
    QList<QDate> ends;
    int step = 0;
    switch (cycling) {
    case 0:
        step = 1;
        break;
    case 1:
        step = 3;
        break;
    case 2:
        step = 12;
        break;
    default:
        return ends;
    }
    ends.reserve(12 / step + 1);
    ends.append(QDate(year - 1, 12, 31));
    for (int month = step; month <= 12; month += step)
        ends.append(QDate(year, month, 1).addMonths(1).addDays(-1));
    return ends;
}

int periodOffset(int cycling, int dayAction, int dayAction12, int position, int count) {
    const bool yearEnd = position == 0 || position == count - 1;
    if ((cycling == 0 || cycling == 1) && yearEnd && isDayAction12Set(dayAction12))
        return dayAction12;
    return dayAction;
}

QList<PeriodPlan> planPeriods(int cycling, int dayAction, int dayAction12, int year,
                              const QDate& today, const HolidayMap& holidays) {
    return planPeriods(
        cycling, dayAction, dayAction12, year, [&today] { return today; }, holidays);
}

QList<PeriodPlan> planPeriods(int cycling, int dayAction, int dayAction12, int year,
                              const std::function<QDate()>& today, const HolidayMap& holidays) {
    const QList<QDate> ends = periodEnds(cycling, year);
    const int count = int(ends.size());
    QList<PeriodPlan> plans;
    plans.reserve(count);
    for (int i = 0; i < count; ++i) {
        PeriodPlan plan;
        plan.periodEnd = ends[i];
        plan.unshifted =
            plan.periodEnd.addDays(periodOffset(cycling, dayAction, dayAction12, i, count));
        plan.shifted = holidays.ShiftToWorkDay(plan.unshifted);
        plan.scheduled = plan.shifted.isValid() && plan.shifted >= today();
        plans.append(plan);
    }
    return plans;
}

int correctionOffset(int cycling, int dayAction, int dayAction12, const QDate& periodEnd,
                     const QDate& spanBegin, const QDate& spanEnd) {
    const bool yearEnd = periodEnd == spanBegin || periodEnd == spanEnd;
    if ((cycling == 0 || cycling == 1) && yearEnd && isDayAction12Set(dayAction12))
        return dayAction12;
    return dayAction;
}
