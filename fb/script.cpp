#include "fb/script.h"

#include "fb/attachment.h"
#include "fb/transaction.h"

#include <QRegularExpression>

namespace fb {
namespace {

bool startsWithWords(const QString& statement, const QString& pattern) {
    static QHash<QString, QRegularExpression> cache;
    auto it = cache.find(pattern);
    if (it == cache.end())
        it = cache.insert(pattern, QRegularExpression(QStringLiteral("^\\s*") + pattern,
                                                      QRegularExpression::CaseInsensitiveOption));
    return it->match(statement).hasMatch();
}

} // namespace

QStringList splitScript(const QString& script) {
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    const qsizetype n = script.size();
    qsizetype i = 0;
    auto flush = [&] {
        const QString text = current.trimmed();
        current.clear();
        if (text.isEmpty())
            return;
        static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)"),
                                                QRegularExpression::CaseInsensitiveOption);
        const auto m = setTerm.match(text);
        if (m.hasMatch()) {
            terminator = m.captured(1);
            return;
        }
        if (startsWithWords(text, QStringLiteral("SET\\s+(SQL\\s+DIALECT|NAMES|AUTODDL)\\b")))
            return;
        statements << text;
    };
    while (i < n) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n && !(script.at(j) == c && !(j + 1 < n && script.at(j + 1) == c)))
                j += (script.at(j) == c) ? 2 : 1;
            current += script.mid(i, j - i + 1);
            i = j + 1;
        } else if (script.mid(i, 2) == QLatin1String("--")) {
            qsizetype j = script.indexOf(QLatin1Char('\n'), i);
            if (j < 0)
                j = n;
            current += QLatin1Char(' ');
            i = j;
        } else if (script.mid(i, 2) == QLatin1String("/*")) {
            qsizetype j = script.indexOf(QStringLiteral("*/"), i + 2);
            i = (j < 0) ? n : j + 2;
            current += QLatin1Char(' ');
        } else if (script.mid(i, terminator.size()) == terminator) {
            flush();
            i += terminator.size();
        } else {
            // SET TERM ends with the old terminator, which the branch above already handles.
            current += c;
            ++i;
        }
    }
    flush();
    return statements;
}

void runScript(Attachment& attachment, const QString& script,
               const std::function<void(const QString&)>& onStatement) {
    Transaction transaction(attachment);
    for (const QString& statement : splitScript(script)) {
        if (onStatement)
            onStatement(statement);
        if (startsWithWords(statement, QStringLiteral("COMMIT(\\s+WORK)?\\s*$"))) {
            transaction.commit();
            continue;
        }
        if (startsWithWords(statement, QStringLiteral("ROLLBACK(\\s+WORK)?\\s*$"))) {
            transaction.rollback();
            continue;
        }
        attachment.executeImmediate(transaction, statement);
        transaction.commit();
    }
    transaction.commit();
}

} // namespace fb
