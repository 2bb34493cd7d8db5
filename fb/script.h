#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace fb {

class Attachment;

// Splits an SQL script into statements: ';' ends a statement unless SET TERM changed the
// terminator; literals and comments are respected. SET TERM itself and empty statements are
// dropped; SET SQL DIALECT and SET NAMES are dropped too (the connection already fixes both).
QStringList splitScript(const QString& script);

// Runs each statement of the script in its own transaction, committing after each, so that
// later statements see the objects earlier ones made. COMMIT and ROLLBACK lines are honoured as
// such. Stops at the first failing statement and throws its error; onStatement is told each
// statement before it runs.
void runScript(Attachment& attachment, const QString& script,
               const std::function<void(const QString&)>& onStatement = {});

} // namespace fb
