#include "status/schedule_filter.h"

QList<BuhEntryStatus> statusesInFilterOrder() {
    return {BuhEntryStatus::NeSdan, BuhEntryStatus::Warning,   BuhEntryStatus::AlarmNeSdan,
            BuhEntryStatus::Sdan,   BuhEntryStatus::AlarmSdan, BuhEntryStatus::AlarmPodozrenue};
}

void setFilterStatuses(store::ScheduleFilter& filter, const QSet<BuhEntryStatus>& statuses) {
    const QList<BuhEntryStatus> order = statusesInFilterOrder();
    filter.statusConditions.clear();
    filter.everyStatus = statuses.size() == order.size();
    if (filter.everyStatus)
        return;
    for (BuhEntryStatus status : order) {
        if (statuses.contains(status))
            filter.statusConditions << statusPredicate(status, QStringLiteral(":TODAY"));
    }
}
