#include "service/database_version.h"

#include "fb/statement.h"
#include "fb/transaction.h"

namespace database_version {

std::optional<QString> read(fb::Attachment& attachment) {
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(transaction,
                        QStringLiteral("SELECT SETTINGS FROM USERS_SETTINGS WHERE USERS_ID = 2"));
    query.open();
    std::optional<QString> version;
    if (query.fetch())
        version = query.value(0).toString();
    query.close();
    transaction.commit();
    return version;
}

QString line(const std::optional<QString>& version) {
    return QStringLiteral("Текущая версия базы данных : ") +
           version.value_or(QStringLiteral("ошибка определения"));
}

} // namespace database_version
