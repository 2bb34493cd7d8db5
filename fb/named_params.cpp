#include "fb/named_params.h"

namespace fb {
namespace {
bool isNameStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}
} // namespace

ParsedSql parseNamedParams(const QString& sql) {
    ParsedSql out;
    out.sql.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A literal or quoted identifier; a doubled quote inside stands for itself.
            qsizetype j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out.sql += sql.mid(i, j - i + 1);
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            qsizetype j = sql.indexOf(QLatin1Char('\n'), i);
            if (j < 0)
                j = n;
            out.sql += sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            qsizetype j = sql.indexOf(QStringLiteral("*/"), i + 2);
            j = (j < 0) ? n : j + 2;
            out.sql += sql.mid(i, j - i);
            i = j;
        } else if ((c == QLatin1Char(':') || c == QLatin1Char('?')) && i + 1 < n &&
                   isNameStart(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            out.paramNames << sql.mid(i + 1, j - i - 1).toUpper();
            out.sql += QLatin1Char('?');
            i = j;
        } else {
            if (c == QLatin1Char('?'))
                out.paramNames << QString(); // an anonymous positional parameter
            out.sql += c;
            ++i;
        }
    }
    return out;
}

} // namespace fb
