#pragma once

#include <QString>

namespace fb {
class Dataset;
class Error;
} // namespace fb

// Whether a name may be used in the list: mode 0 while adding a row, 1 while editing the
// current row (which may keep its own name). The comparison ignores letter case and runs of
// blanks; an empty name is never unique. The list's current row does not move.
bool IsNameUnique(int mode, const QString& fieldName, fb::Dataset& dataset, const QString& value);

// What to tell the user when a row of a list could not be written. The database refuses mostly
// a name it holds already, which likelyCause says; text that the database's code page cannot hold
// is refused before it reaches the database, and then that is said instead.
QString refusedWriteText(const fb::Error& error, const QString& likelyCause);
