#pragma once

#include "store/schedule_list.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace fb {
class Attachment;
}

// Statements over the rows of a schedule list as a whole: counting them and deleting them.
namespace store {

// The rows of the list, and for each condition how many of them it admits; computed by the
// engine in one aggregate pass. extraParams are the parameters the conditions add (they may not
// reuse the list's names).
struct ListCounts {
    qint64 total = 0;
    QList<qint64> matching;
};
ListCounts countListRows(fb::Attachment& attachment, const ScheduleStatement& list,
                         const QStringList& conditions,
                         const QHash<QString, QVariant>& extraParams = {});

// The keys of the rows the list holds, read as deleteListRows reads them.
QList<int> listedKeys(fb::Attachment& attachment, const ScheduleStatement& list);

// Whether the schedule still holds the entry (another program may have removed it, with its
// organisation, say).
bool scheduleEntryExists(fb::Attachment& attachment, const QVariant& id);

// Deletes exactly the rows the list holds, in one transaction: all of them or, on an error
// (thrown as fb::Error), none. Returns how many were deleted. progress, when given, is called
// now and then so that the windows can repaint.
int deleteListRows(fb::Attachment& attachment, const ScheduleStatement& list,
                   const std::function<void()>& progress = {});

} // namespace store
