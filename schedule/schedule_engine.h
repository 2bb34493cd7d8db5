#pragma once

#include "schedule/holiday_map.h"
#include "store/engine_sql.h"

#include <QDate>
#include <QString>

#include <functional>

class Clock;

namespace fb {
class Attachment;
class Error;
class Transaction;
} // namespace fb

// Refills the map from BUH_HOLIDAY within the given transaction (started if needed).
void loadBuhHolidays(fb::Transaction& transaction, HolidayMap& map);

// The text to show for a database error: the engine's own words when there are any.
QString engineErrorText(const fb::Error& error);

// What a generation run did. `stored` counts the procedure calls that succeeded and were
// committed (a submitted entry that the procedure leaves alone counts too); `failed` the entries
// the database refused or that were lost with a failed commit.
struct RunResult {
    int stored = 0;  // procedure calls committed
    int changed = 0; // of these, entries that were added or whose deadline moved
    int failed = 0;
    QString lastErrorText;
    bool endedEarly = false; // stopped by the caller or by an error outside a single entry

    bool clean() const { return failed == 0 && !endedEarly; }
};

// One switched-on assignment with the terms of its report; dayAction12 is kDayAction12NotSet
// when the report has no special term.
struct AssignmentTerms {
    int reportId = 0;
    int organisationId = 0;
    int cycling = 0;
    int dayAction = 0;
    int dayAction12 = 0;
};

// Generates the schedule of the clock's current year through ADD_BUH_HISTORY. Entries are
// written in batches on a transaction of the engine's own; an entry the database refuses is
// undone on its own (the engine rolls back a failed statement and the transaction stays
// usable), counted, and the run goes on.
class ScheduleEngine {
public:
    // Called after each assignment with the number done so far; false stops the run.
    using Progress = std::function<bool(int done)>;

    // Every commit forces its pages to disk, which costs milliseconds, so batches are large
    // enough for that to stay small beside the calls, and small enough that a batch holds its
    // row locks for a fraction of a second.
    static constexpr int kDefaultBatchSize = 1000;

    ScheduleEngine(fb::Attachment& attachment, const Clock& clock);

    // Refills the map from BUH_HOLIDAY in a short read of its own.
    void LoadBuhHolidays(HolidayMap& map);

    // Entries of one assignment; reads the calendar first. Errors outside the storing of an
    // entry (the calendar, preparing the call) are thrown as fb::Error.
    RunResult CreateBuhHistory(int reportId, int organisationId, int cycling, int dayAction,
                               int dayAction12);

    // Entries of every switched-on assignment of an active report (reportId) or of all active
    // reports (-1), with one calendar read and one prepared call for the whole run. An error
    // outside a single entry ends the run early; what was stored before it stays.
    RunResult CreateBuhHistoryForAccount(int reportId, const Progress& progress = {});

    // Entries per commit; tests use small batches to cross batch boundaries.
    void setBatchSize(int entries) { m_batchSize = entries > 0 ? entries : 1; }
    int batchSize() const { return m_batchSize; }

    // The calendar the last run used.
    const HolidayMap& holidays() const { return m_holidays; }

private:
    class Writer;

    // Plans one assignment and hands its scheduled periods to the writer; false when the run
    // cannot go on.
    bool generate(const AssignmentTerms& terms, int year, Writer& writer);

    fb::Attachment& m_attachment;
    const Clock& m_clock;
    HolidayMap m_holidays;
    int m_batchSize = kDefaultBatchSize;
};
