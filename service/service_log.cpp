#include "service/service_log.h"

namespace service_log {
namespace {
constexpr qsizetype kLogLimit = 29000;
}

QString separator() {
    return QString(54, QLatin1Char('='));
}

QString text(const QStringList& lines) {
    return lines.join(QLatin1Char('\n'));
}

void appendLogLine(QStringList& lines, const QString& text) {
    if (!lines.isEmpty() && service_log::text(lines).size() > kLogLimit)
        lines.removeFirst();
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines << normalised.split(QLatin1Char('\n'));
}

void appendToLastLine(QStringList& lines, const QString& text) {
    if (lines.isEmpty())
        lines << text;
    else
        lines.last() += text;
}

void cleanServiceOutput(QStringList& lines) {
    QStringList cleaned;
    for (const QString& line : lines) {
        QString kept;
        kept.reserve(line.size());
        for (const QChar c : line)
            if (c.unicode() > 31)
                kept += c;
        if (!kept.isEmpty())
            cleaned << kept;
    }
    lines = cleaned;
}

} // namespace service_log
