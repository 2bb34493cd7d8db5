#pragma once

#include "store/schedule_list.h"

#include <QStringList>

namespace fb {
class Attachment;
}

// The list of the organisation operations window: one organisation's entries of the reports
// assigned to it now, its fixed statements and the values of its parameters.
namespace store {

enum class EventType { All, SubmittedOnly, OpenOnly };

struct OperationsFilter {
    int organisationId = -1;
    int reportId = -1; // -1 any report
    bool allDates = false;
    int beginMonth = 1;
    int beginYear = 2017;
    int endMonth = 3;
    int endYear = 2017;
    EventType events = EventType::All;
};

struct OperationsBuild {
    bool beginAfterEnd = false;
    // The statement with its parameters; rowConditions are its conditions for counting.
    ScheduleStatement statement;
};

// Period bounds as on the schedule tab: the first day of the begin month to the last day of
// the end month.
OperationsBuild buildOperationsStatement(const OperationsFilter& filter);

QString operationsRefreshSql();
// The submission mark as this window writes it: the record date is left to the database, the
// user who submitted as the row holds it.
QString operationsUpdateSql();

// The IDs of the reports assigned to the organisation, as decimal texts.
QStringList assignedReportIds(fb::Attachment& attachment, int organisationId);

// The months of the quarter that holds the date, first and last (1..12).
std::pair<int, int> quarterMonths(const QDate& date);

} // namespace store
