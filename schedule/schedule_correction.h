#pragma once

#include <QString>

#include <functional>

class Clock;
class HolidayMap;

namespace fb {
class Attachment;
}

// Entries of the span whose deadlines are recomputed: of all organisations and reports,
// submitted or not, with the report's current terms.
inline constexpr char kBuhHistorySql[] =
    "SELECT BUH_HISTORY.ID, BUH_HISTORY.DT_END_ACCOUNT, BUH_HISTORY.DT_ACTION, "
    "BUH_ACCOUNT.CYCLING, BUH_ACCOUNT.DAY_ACTION, BUH_ACCOUNT.DAY_ACTION_12 FROM BUH_HISTORY LEFT "
    "JOIN BUH_ACCOUNT ON BUH_ACCOUNT.ID = BUH_HISTORY.BUH_ACCOUNT_ID WHERE "
    "(BUH_HISTORY.DT_END_ACCOUNT >= :DT_BEGIN) AND (BUH_HISTORY.DT_END_ACCOUNT <= :DT_END)";

inline constexpr char kUpdateHistorySql[] =
    "UPDATE BUH_HISTORY SET DT_ACTION = :DT_ACTION WHERE ID "
    "= :ID";

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
