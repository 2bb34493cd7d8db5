#pragma once

#include "store/dataset_sql.h"

namespace store::holidays {

// The holidays directory in calendar order.
DatasetSql list();

} // namespace store::holidays
