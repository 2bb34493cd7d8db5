#pragma once

#include "store/dataset_sql.h"

namespace store::assignments {

// The reports assigned to the organisation whose key is the parameter ID (the master's).
DatasetSql list();

} // namespace store::assignments
