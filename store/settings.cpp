#include "store/settings.h"

#include "fb/statement.h"
#include "fb/transaction.h"

namespace store::settings {

std::optional<QString> databaseVersion(fb::Transaction& transaction) {
    transaction.startIfNeeded();
    fb::Statement query(transaction,
                        QStringLiteral("SELECT SETTINGS FROM USERS_SETTINGS WHERE USERS_ID = 2"));
    query.open();
    std::optional<QString> version;
    if (query.fetch())
        version = query.value(0).toString();
    query.close();
    return version;
}

} // namespace store::settings
