#pragma once

#include <QString>
#include <optional>

namespace fb {
class Attachment;
}

// The database version kept in USERS_SETTINGS (row of USERS_ID 2).
namespace database_version {

// Read in a transaction of its own; nothing when the row is missing.
std::optional<QString> read(fb::Attachment& attachment);
// "Текущая версия базы данных : <version>", or "... : ошибка определения" without the row.
QString line(const std::optional<QString>& version);

} // namespace database_version
