#pragma once

#include "status/entry_status.h"

#include <QString>
#include <QStringList>

// The texts a printed schedule list shows for a row beside the row's own fields, worked out
// from its dates on the clock of the print.
struct PrintFields {
    QString period;  // PERIOD_TEXT
    QString cycling; // CYCLING_TEXT
    QString status;  // STATUS_TEXT
    QString colour;  // ROW_COLOR: "#rrggbb" of the grid's background, empty when it has none
    QString mark;    // STATUS_MARK
};

// The names the templates read the fields by, in the order of PrintFields.
const QStringList& printFieldNames();

PrintFields printFields(const BuhEntry& entry, const QDateTime& now, const QDate& today,
                        ScheduleWindow which);

// The short mark of the table prints: "+" in time, "+!" late, "+?" suspicious, "!" overdue,
// "*" due soon, empty when planned or unknown.
QString statusMark(std::optional<BuhEntryStatus> status);
