#pragma once

#include <QString>
#include <optional>

namespace fb {
class Transaction;
}

namespace store::settings {

// The database version kept in USERS_SETTINGS (row 2), or nothing when the row is missing.
std::optional<QString> databaseVersion(fb::Transaction& transaction);

} // namespace store::settings
