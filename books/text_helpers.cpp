#include "books/text_helpers.h"

QString CollapseCharRuns(const QString& text, QChar ch) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == ch && i > 0 && text.at(i - 1) == ch)
            continue;
        result.append(text.at(i));
    }
    return result;
}

QVariant storedText(const QString& text) {
    return textOrNull(CollapseCharRuns(text, QLatin1Char(' ')));
}

QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QString ReplaceAllText(const QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty())
        return text;
    QString result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(find, 0, Qt::CaseSensitive); at >= 0;
         at = text.indexOf(find, from, Qt::CaseSensitive)) {
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + find.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

QString DeleteCharSet(const QString& text, const QSet<QChar>& chars) {
    return DeleteCharSet(text, [&chars](QChar c) { return chars.contains(c); });
}

QString DeleteCharSet(const QString& text, const std::function<bool(QChar)>& remove) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (!remove(c))
            result.append(c);
    }
    return result;
}

bool isControlChar(QChar c) {
    return c.unicode() < 32;
}

QSet<QChar> controlChars() {
    QSet<QChar> chars;
    for (char16_t code = 0; code < 32; ++code)
        chars.insert(QChar(code));
    return chars;
}

bool isBlankOrControl(QChar c) {
    return c.unicode() <= 32;
}

QString trimBlanksAndControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString cutLeadingBlanksAndControls(const QString& text) {
    qsizetype begin = 0;
    while (begin < text.size() && isBlankOrControl(text.at(begin)))
        ++begin;
    return text.mid(begin);
}
