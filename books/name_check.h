#pragma once

#include <QString>

namespace fb {
class Dataset;
}

// Whether a name may be used in the list: mode 0 while adding a row, 1 while editing the
// current row (which may keep its own name). The comparison ignores letter case and runs of
// blanks; an empty name is never unique. The list's current row does not move.
bool IsNameUnique(int mode, const QString& fieldName, fb::Dataset& dataset, const QString& value);
