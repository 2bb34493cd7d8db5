#pragma once

#include "status/entry_status.h"
#include "store/schedule_list.h"

#include <QSet>
#include <QStringList>

// Statuses in the order of the status check boxes of the schedule tab: the order in which the
// list statement writes their conditions.
QList<BuhEntryStatus> statusesInFilterOrder();

// The list filter's status part for the chosen statuses: nothing when all six are chosen,
// otherwise their conditions (over the parameter TODAY) in the check boxes' order.
void setFilterStatuses(store::ScheduleFilter& filter, const QSet<BuhEntryStatus>& statuses);
