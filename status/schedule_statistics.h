#pragma once

#include "store/schedule_list.h"

#include <QDate>

namespace fb {
class Attachment;
}

// The five counters of the schedule tab's statistics box over the rows of one list.
struct ScheduleStatistics {
    qint64 warning = 0;     // status Warning
    qint64 alarmNeSdan = 0; // overdue, not submitted
    qint64 alarmSdan = 0;   // submitted late
    qint64 suspicious = 0;  // submitted in time, recorded after the deadline day
    qint64 total = 0;       // every row of the list
};

// Counts the rows of the list in one aggregate query by the status rules as of today; throws
// fb::Error.
ScheduleStatistics countScheduleStatistics(fb::Attachment& attachment,
                                           const store::ScheduleStatement& list,
                                           const QDate& today);
