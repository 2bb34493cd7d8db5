#pragma once

#include "store/dataset_sql.h"

namespace fb {
class Attachment;
}

namespace store::reports {

// The reports directory, alphabetical regardless of letter case.
DatasetSql list();
// How many schedule entries the report has (deleting the report deletes them too).
qint64 countEntries(fb::Attachment& attachment, int reportId);

} // namespace store::reports
