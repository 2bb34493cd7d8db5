#pragma once

#include "store/engine_sql.h"

#include <QString>

#include <functional>

class Clock;
class HolidayMap;

namespace fb {
class Attachment;
}

struct CorrectionResult {
    int changed = 0; // deadlines written; 0 whenever ok is false
    bool ok = false;
    QString errorText; // the engine's text when the run failed
};

// Recomputes the deadline of every entry whose period ends between 31.12 of the clock's
// previous year and 31.12 of its current year, from the calendar in the database, and writes
// the ones that differ. One transaction: either every changed deadline is committed or, on any
// error, none. The map is refilled from BUH_HOLIDAY and stays loaded afterwards. progress is
// told the number of entries looked at so far.
CorrectionResult correctSchedule(fb::Attachment& attachment, const Clock& clock, HolidayMap& map,
                                 const std::function<void(int done)>& progress = {});
