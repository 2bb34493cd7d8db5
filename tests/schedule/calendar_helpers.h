#pragma once

#include "schedule/holiday_map.h"

#include <QDate>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <utility>
#include <vector>

inline void PrintTo(const QDate& date, std::ostream* os) {
    *os << date.toString(QStringLiteral("dd.MM.yyyy ddd")).toStdString();
}

// "dd.MM.yyyy" keeps the tables of cases close to how accountants write dates.
inline QDate day(const char* text) {
    const QDate date = QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd.MM.yyyy"));
    if (!date.isValid())
        ADD_FAILURE() << "not a date: " << text;
    return date;
}

// A typical Russian calendar: the New Year holidays, 23 February, 8 March, 1 and 9 May,
// 12 June, 4 November and 31 December off, and 1 November (a Saturday in 2025) a working day.
inline HolidayMap typicalCalendar() {
    HolidayMap map;
    const std::vector<std::pair<int, int>> holidays = {{1, 1}, {2, 1}, {3, 1},  {4, 1},  {5, 1},
                                                       {6, 1}, {7, 1}, {8, 1},  {23, 2}, {8, 3},
                                                       {1, 5}, {9, 5}, {12, 6}, {4, 11}, {31, 12}};
    for (const auto& [d, m] : holidays)
        map.addRow(d, m, 0);
    map.addRow(1, 11, 1);
    return map;
}
