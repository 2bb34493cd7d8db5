#include "service/database_version.h"

#include "fb/transaction.h"
#include "store/settings.h"

namespace database_version {

std::optional<QString> read(fb::Attachment& attachment) {
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    const std::optional<QString> version = store::settings::databaseVersion(transaction);
    transaction.commit();
    return version;
}

QString line(const std::optional<QString>& version) {
    return QStringLiteral("Текущая версия базы данных : ") +
           version.value_or(QStringLiteral("ошибка определения"));
}

} // namespace database_version
