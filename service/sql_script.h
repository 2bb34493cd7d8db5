#pragma once

#include <QString>
#include <optional>

namespace fb {
class Attachment;
class Transaction;
} // namespace fb

// Running an SQL update script through the program's connection.
namespace sql_script {

// The text of a script file: UTF-8, or Windows-1251 when the bytes are not UTF-8. Nothing for
// a missing or unreadable file, or one that is not text (it holds NUL bytes).
std::optional<QString> loadFile(const QString& path);
// A script with nothing but blanks.
bool isEmpty(const QString& script);

struct RunResult {
    bool ok = true;
    int executed = 0;        // statements that ran
    QString failedStatement; // the statement that stopped the run
    QString errorText;       // the engine's text of its failure
};

// Runs the statements one after another in transaction, stopping at the first that fails.
// A statement that changes the structure is committed at once (later ones use the objects it
// made); COMMIT and ROLLBACK are honoured. Whatever ran is committed at the end, also after a
// failure, so the statements before the failing one stay applied.
RunResult run(fb::Attachment& attachment, fb::Transaction& transaction, const QString& script);

} // namespace sql_script
