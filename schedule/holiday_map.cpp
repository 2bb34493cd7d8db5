#include "schedule/holiday_map.h"

#include <QString>

namespace {

// The calendar matches a row to a date by the decimal text of its day and month, so only the
// canonical text of a number in range can ever match ("05" or "32" never does).
int canonicalNumber(const QVariant& value, int max) {
    if (value.isNull())
        return 0;
    const QString text = value.toString();
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 1 || number > max || QString::number(number) != text)
        return 0;
    return number;
}

} // namespace

void HolidayMap::clear() {
    for (auto& month : m_marks)
        month.fill(None);
    m_count = 0;
}

void HolidayMap::addRow(const QVariant& day, const QVariant& month, const QVariant& holidayWork) {
    const int d = canonicalNumber(day, 31);
    const int m = canonicalNumber(month, 12);
    if (d == 0 || m == 0)
        return;

    const QString value = holidayWork.isNull() ? QString() : holidayWork.toString();
    Mark next = None;
    if (value == QLatin1String("0"))
        next = Holiday;
    else if (value == QLatin1String("1"))
        next = WorkDay;
    else if (!value.isEmpty())
        next = Other;

    Mark& slot = m_marks[m][d];
    m_count += (next != None) - (slot != None);
    slot = next;
}

HolidayMap::Mark HolidayMap::mark(int day, int month) const {
    if (day < 1 || day > 31 || month < 1 || month > 12)
        return None;
    return m_marks[month][day];
}

bool HolidayMap::IsBuhHoliday(int day, int month) const {
    return mark(day, month) == Holiday;
}

bool HolidayMap::IsBuhWorkDay(int day, int month) const {
    return mark(day, month) == WorkDay;
}

QDate HolidayMap::ShiftToWorkDay(const QDate& date) const {
    if (!date.isValid())
        return date;
    QDate d = date;
    for (int step = 0; step <= kMaxShiftSteps; ++step) {
        int year = 0, month = 0, dayOfMonth = 0;
        d.getDate(&year, &month, &dayOfMonth); // one calendar conversion per step
        const Mark m = m_marks[month][dayOfMonth];
        if (m != Holiday) {
            const bool weekend = d.dayOfWeek() >= Qt::Saturday;
            if (!weekend || m == WorkDay)
                return d;
        }
        d = d.addDays(1);
        if (!d.isValid())
            break;
    }
    return date;
}
