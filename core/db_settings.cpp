#include "core/db_settings.h"

#include "core/ini_file.h"

#include <QRegularExpression>

namespace {

const QString kSection = QStringLiteral("DB");

} // namespace

QString serviceConnectString(const QString& serverName, int protocol, const QString& dbFile) {
    if (dbFile.isEmpty())
        return {};
    switch (static_cast<unsigned>(protocol) & 0xFFu) {
    case 0:
        return serverName + u':' + dbFile;
    case 1:
        return QStringLiteral("\\\\") + serverName + u'\\' + dbFile;
    case 2:
        return serverName + u'@' + dbFile;
    default:
        return dbFile;
    }
}

DbSettings readDbSettings(const IniFile& ini, const QDate& today) {
    DbSettings settings;
    const QString serverName = ini.readString(kSection, QStringLiteral("ServerName"));
    const int protocol = ini.readInteger(kSection, QStringLiteral("Protocol"), -1);
    const QString dbFile = ini.readString(kSection, QStringLiteral("DBFile"));
    settings.serviceConnectString = serviceConnectString(serverName, protocol, dbFile);
    settings.lastUpdateDate = ini.readString(kSection, QStringLiteral("LastUpdate"));
    if (settings.lastUpdateDate.isEmpty())
        settings.lastUpdateDate = formatLastUpdate(today);
    return settings;
}

void clearConnectionKeys(IniFile& ini) {
    IniFile::Batch batch(ini);
    ini.writeInteger(kSection, QStringLiteral("Server"), 0);
    ini.writeString(kSection, QStringLiteral("ServerName"), QString());
    ini.writeInteger(kSection, QStringLiteral("Protocol"), 0);
    ini.writeString(kSection, QStringLiteral("DBFile"), QString());
    ini.writeString(kSection, QStringLiteral("Password"), QString());
    batch.commit();
}

void writeLastUpdate(IniFile& ini, const QDate& day) {
    ini.writeString(kSection, QStringLiteral("LastUpdate"), formatLastUpdate(day));
}

QString formatLastUpdate(const QDate& day) {
    return day.toString(QLatin1String(kLastUpdateFormat));
}

std::optional<QDate> parseLastUpdate(const QString& text) {
    // QDate::fromString alone would also take signs and odd digit counts; insist on the shape.
    static const QRegularExpression shape(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const QRegularExpressionMatch match = shape.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(3).toInt(), match.captured(2).toInt(),
                     match.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}
