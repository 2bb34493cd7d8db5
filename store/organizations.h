#pragma once

#include "store/dataset_sql.h"

namespace store::organizations {

// The organisations list of the main window, alphabetical, with everything the edit dialog
// shows.
DatasetSql list();
// The organisation picker: names and tax systems only.
QString pickerSelect();

} // namespace store::organizations
