#pragma once

#include <QDate>
#include <QString>

#include <optional>

class IniFile;

// What the program takes from section DB of the settings file when it connects.
struct DbSettings {
    // The database service's connection string; empty when DBFile is empty.
    QString serviceConnectString;
    // The day the update reminder was last shown, as text; today when the key is missing or empty.
    QString lastUpdateDate;
};

// The settings file's short date format.
inline constexpr char kLastUpdateFormat[] = "dd.MM.yyyy";

// ServerName, Protocol and DBFile joined into a Firebird connection string. Only the low eight
// bits of protocol count: 0 TCP/IP "srv:file", 1 named pipes "\\srv\file", 2 SPX "srv@file",
// anything else the local file alone. An empty dbFile gives an empty string.
QString serviceConnectString(const QString& serverName, int protocol, const QString& dbFile);

DbSettings readDbSettings(const IniFile& ini, const QDate& today);

// The reconnect command forgets the connection data: Server, ServerName, Protocol, DBFile and
// Password are reset in one file replacement.
void clearConnectionKeys(IniFile& ini);

void writeLastUpdate(IniFile& ini, const QDate& day);

QString formatLastUpdate(const QDate& day);
// dd.MM.yyyy (single-digit day and month accepted); nullopt for anything that is not a date.
std::optional<QDate> parseLastUpdate(const QString& text);
