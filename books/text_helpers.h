#pragma once

#include <QChar>
#include <QSet>
#include <QString>
#include <QVariant>

#include <functional>

// Text routines shared by the edit dialogs of the reference books and the database service
// window.

// Keeps only the first ch of every run of two or more; a single ch at either end stays.
QString CollapseCharRuns(const QString& text, QChar ch);

// What a name or requisite box stores: runs of blanks collapsed to one; nothing left stores
// NULL.
QVariant storedText(const QString& text);

// What a comments box stores: its text as typed, NULL for none.
QVariant textOrNull(const QString& text);

// Replaces every occurrence of find (letter case counts), scanning on right behind each one,
// so occurrences never overlap and replacement text is never searched again. An empty find
// changes nothing.
QString ReplaceAllText(const QString& text, const QString& find, const QString& replacement);

// Removes every character of text that is in chars (or for which the predicate holds).
QString DeleteCharSet(const QString& text, const QSet<QChar>& chars);
QString DeleteCharSet(const QString& text, const std::function<bool(QChar)>& remove);

// Codes 0 to 31.
bool isControlChar(QChar c);
QSet<QChar> controlChars();

// The blank (code 32) or a control character: what a name may not begin or end with.
bool isBlankOrControl(QChar c);
QString trimBlanksAndControls(const QString& text);
QString cutLeadingBlanksAndControls(const QString& text);
