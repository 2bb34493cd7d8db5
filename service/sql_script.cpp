#include "service/sql_script.h"

#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/script.h"
#include "fb/transaction.h"
#include "fb/win1251.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace sql_script {
namespace {

bool matches(const QString& statement, const char* pattern) {
    const QRegularExpression re(QStringLiteral("^\\s*") + QLatin1String(pattern),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(statement).hasMatch();
}

bool changesStructure(const QString& statement) {
    return matches(statement, "(CREATE|ALTER|DROP|RECREATE|DECLARE|COMMENT|GRANT|REVOKE)\\b|SET\\s+"
                              "(GENERATOR|STATISTICS)\\b");
}

} // namespace

std::optional<QString> loadFile(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.contains('\0'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = fb::fromWin1251(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

bool isEmpty(const QString& script) {
    return script.trimmed().isEmpty();
}

RunResult run(fb::Attachment& attachment, fb::Transaction& transaction, const QString& script) {
    RunResult result;
    for (const QString& statement : fb::splitScript(script)) {
        try {
            if (matches(statement, "COMMIT(\\s+WORK)?\\s*$")) {
                if (transaction.isActive())
                    transaction.commit();
            } else if (matches(statement, "ROLLBACK(\\s+WORK)?\\s*$")) {
                if (transaction.isActive())
                    transaction.rollback();
            } else {
                attachment.executeImmediate(transaction, statement);
                if (changesStructure(statement))
                    transaction.commit();
            }
            ++result.executed;
        } catch (const fb::Error& e) {
            result.ok = false;
            result.failedStatement = statement;
            result.errorText = e.message();
            break;
        }
    }
    // A failing statement undid only itself; what ran before it is kept.
    if (transaction.isActive())
        transaction.commit();
    return result;
}

} // namespace sql_script
