#pragma once

#include <QByteArray>
#include <QString>

namespace fb {

// The one place where text crosses between Qt and the database's Windows-1251 code page.
// Encoding is strict: a character that the code page cannot hold raises fb::Error
// (a client-side error) instead of being replaced, so nothing is ever stored altered.
QByteArray toWin1251(const QString& text);
QString fromWin1251(const QByteArray& bytes);
QString fromWin1251(const char* data, int size);

// The first character of text that Windows-1251 cannot hold, or a null QChar.
bool fitsWin1251(const QString& text, QString* offending = nullptr);

} // namespace fb
