#pragma once

#include "service/service_log.h"
#include "service/service_paths.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

// The program's own connection, as the database service sees it: it must be closed before the
// file it uses is replaced, and opened again afterwards with its settings unchanged.
struct ProgramConnection {
    // The file the open connection uses; empty while it is closed (or there is none).
    std::function<QString()> openFile;
    std::function<void()> close;
    // False when the connection could not be opened again.
    std::function<bool()> reopen;
};

// Backup, restore, repair and validation of the database named by the service connection
// string. Restore and repair never write over a live file: they restore into a new file beside
// the target, validate it, and put it in the target's place only when no connection uses the
// target; otherwise the target stays as it was and the log names the files left behind.
class DatabaseService {
public:
    struct Settings {
        QString connectString; // the current database (ServiceConnectString)
        QStringList login = {QStringLiteral("user_name=sysdba"),
                             QStringLiteral("password=quillbent")};
        std::function<QDateTime()> now; // the clock; the system's when empty
    };

    struct Result {
        bool ok = false;
        // The program's connection was closed and could not be opened again: the program must
        // end.
        bool reconnectFailed = false;
        QString file; // the backup made, or the database restored
        // Files left behind by a failure (a restored copy, a repair's backup).
        QStringList keptFiles;
    };

    explicit DatabaseService(Settings settings, ProgramConnection connection = {});

    const QString& connectString() const { return m_settings.connectString; }
    // The database file of the connection string (its server part removed).
    QString currentDatabase() const;
    QString databaseFolder() const;
    bool isCurrentDatabase(const QString& path) const;
    // The log's date and time: the short date and the time with seconds.
    QString timeText(const QDateTime& when) const;

    // A manual backup of the current database into its folder, or into folder when given.
    Result backup(ServiceLog& log, const QString& folder = QString());
    // Restores backupFile into target (after the window's questions).
    Result restore(const QString& backupFile, const QString& target, ServiceLog& log);
    // Backup to a temporary file, restore into a new file, validation, swap.
    Result repair(ServiceLog& log);
    // Validation of a database file: the engine's verdict lines go to the log.
    Result validate(const QString& database, ServiceLog& log);

private:
    enum class SwapOutcome { Swapped, NotSwapped, ReconnectFailed };

    QDateTime now() const;
    QString server() const;
    bool runBackup(const QString& database, const QString& file, ServiceLog& log, bool* unknown);
    bool runRestore(const QString& backupFile, const QString& database, ServiceLog& log,
                    bool* unknown);
    bool runValidation(const QString& database, ServiceLog& log, bool* unknown);
    // Closes the program's connection when it uses path; true when it was closed.
    bool disconnectFrom(const QString& path, ServiceLog& log);
    bool reconnect(ServiceLog& log);
    // Puts restored in target's place; on refusal logs why and keeps restored.
    bool swapIn(const QString& restored, const QString& target, ServiceLog& log);
    QString freeName(QString name, const std::function<QString(const QDateTime&)>& make) const;

    Settings m_settings;
    ProgramConnection m_connection;
};
