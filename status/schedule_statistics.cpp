#include "status/schedule_statistics.h"

#include "status/entry_status.h"
#include "store/history.h"

ScheduleStatistics countScheduleStatistics(fb::Attachment& attachment,
                                           const store::ScheduleStatement& list,
                                           const QDate& today) {
    // The list keeps the date it was opened with (TODAY); the counters take the date of the
    // count.
    const QString day = QStringLiteral(":COUNT_TODAY");
    const QStringList conditions{statusPredicate(BuhEntryStatus::Warning, day),
                                 statusPredicate(BuhEntryStatus::AlarmNeSdan, day),
                                 statusPredicate(BuhEntryStatus::AlarmSdan, day),
                                 statusPredicate(BuhEntryStatus::AlarmPodozrenue, day)};
    const store::ListCounts counts = store::countListRows(attachment, list, conditions,
                                                          {{QStringLiteral("COUNT_TODAY"), today}});
    ScheduleStatistics s;
    s.total = counts.total;
    s.warning = counts.matching.value(0);
    s.alarmNeSdan = counts.matching.value(1);
    s.alarmSdan = counts.matching.value(2);
    s.suspicious = counts.matching.value(3);
    return s;
}
