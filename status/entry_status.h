#pragma once

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QHashFunctions>
#include <QSet>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// Status of a schedule entry, derived each time from its dates and the clock; never stored.
enum class BuhEntryStatus { AlarmNeSdan, Warning, NeSdan, AlarmSdan, AlarmPodozrenue, Sdan };

inline size_t qHash(BuhEntryStatus status, size_t seed = 0) noexcept {
    return ::qHash(static_cast<int>(status), seed);
}

// One schedule row as the schedule queries deliver it (BUH_HISTORY joined with BUH_ACCOUNT).
struct BuhEntry {
    QVariant id;
    QDateTime dtAction;    // deadline, a whole day
    QDateTime dtActual;    // submission date; null while not submitted
    QDateTime dtAddRecord; // when the row was last written; null counts as the earliest time
    QVariant dayWarning;   // days of advance warning; empty counts as 0
    QVariant cycling;
    QDate dtEndAccount;
};

// An entry as a list row holds it: field reads a column by its name (ID, DT_ACTION, DT_ACTUAL,
// DT_ADD_RECORD, DAY_WARNING, CYCLING, DT_END_ACCOUNT).
BuhEntry buhEntryFrom(const std::function<QVariant(const QString& field)>& field);

// The two windows that list schedule entries colour submitted rows differently.
enum class ScheduleWindow { ScheduleTab, Operations };

struct RowColours {
    std::optional<QColor> background; // nullopt: as the grid draws it
    std::optional<QColor> font;
};

// Days are what count: the deadline day itself is in time, both for an entry still open (it
// warns until the end of that day) and for a submission made or recorded on it. `now` and
// `today` come from the same clock; the decision needs the day only.
std::optional<BuhEntryStatus> entryStatus(const BuhEntry& entry, const QDateTime& now,
                                          const QDate& today);

// Display text of a status; no status gives the empty text.
QString statusText(std::optional<BuhEntryStatus> status);

// Explains the suspicious status where it is offered as a filter or counted.
QString suspiciousHintText();

// The reporting period: "янв. 2025" for a month, "1 квартал 2025", "2025"; empty when unknown.
QString periodText(const QVariant& cycling, const QDate& dtEndAccount);

// "Месяц", "Квартал", "Год"; empty for an empty or unknown periodicity.
QString cyclingText(const QVariant& cycling);

// Submission-date cell of the schedule tab: "!" for an open entry past its deadline day, the
// date (and its time, if it has one) for a submitted entry, otherwise empty.
QString actualDateText(const BuhEntry& entry, const QDateTime& now);

// Colours of every cell of the row: a highlighted row changes its font colour, any other row its
// background. Submitted rows are green in the schedule tab only.
RowColours rowColours(const BuhEntry& entry, const QDateTime& now, const QDate& today,
                      bool highlighted, ScheduleWindow which);

// SQL predicate over BUH_HISTORY and BUH_ACCOUNT (possibly left-joined, so its columns may be
// NULL) that selects exactly the rows entryStatus gives this status. todayExpr is an SQL
// expression for today's date.
QString statusPredicate(BuhEntryStatus status, const QString& todayExpr = "CURRENT_DATE");

// The chosen statuses OR-ed together in parentheses; no status selects nothing.
QString statusFilterSql(const QSet<BuhEntryStatus>& statuses,
                        const QString& todayExpr = "CURRENT_DATE");
