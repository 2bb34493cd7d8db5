#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Windows-1251, the code page of the database and of the settings file. Encoding is strict:
// a character that the code page cannot hold is reported, never replaced.
namespace win1251 {

// False when text holds a character outside the code page; offending gets the first one.
bool fits(const QString& text, QString* offending = nullptr);
// The bytes of text, or nothing when a character does not fit.
std::optional<QByteArray> encode(const QString& text);
QString decode(const char* data, int size);

} // namespace win1251
