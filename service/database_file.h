#pragma once

#include <QString>

// Putting a restored database in the place of another file.
namespace database_file {

enum class ReplaceResult {
    Replaced,
    InUse,  // an engine has the target open: another connection uses it
    Failed, // the file system refused (see errorText)
};

// The engine holds a shared lock on every database file it has open; taking the exclusive lock
// without waiting therefore fails exactly while some connection (of any process) uses the file.
bool isInUse(const QString& path);

// Moves replacement over target in one step, keeping the target's permissions, while holding
// the target's exclusive lock so that no engine opens the old file meanwhile. A missing target
// is simply created by the move. replacement stays where it was unless the result is Replaced.
ReplaceResult replaceFile(const QString& replacement, const QString& target,
                          QString* errorText = nullptr);

} // namespace database_file
