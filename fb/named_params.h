#pragma once

#include <QString>
#include <QStringList>

namespace fb {

// SQL text with named parameters (:NAME or ?NAME, a name may repeat) turned into the
// positional form the engine takes. Literals, quoted identifiers and comments are left alone.
struct ParsedSql {
    QString sql;            // with each parameter replaced by '?'
    QStringList paramNames; // one entry per '?', upper-cased, in order (repeats kept)
};

ParsedSql parseNamedParams(const QString& sql);

} // namespace fb
