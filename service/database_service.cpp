#include "service/database_service.h"

#include "service/database_file.h"
#include "service/service_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

using service_paths::isSameFile;

namespace {

const QString kOk = QStringLiteral(" OK.");

QString keptCopyLine(const QString& file) {
    return QStringLiteral("Восстановленная копия сохранена в файле: %1").arg(file);
}

// Copies left beside the target by earlier restores that were killed or refused: the user
// decides what becomes of them, so they are named, never removed.
void logEarlierCopies(ServiceLog& log, const QString& target) {
    const QFileInfo info(target);
    const QStringList copies = info.dir().entryList(
        {info.completeBaseName() + QStringLiteral("_restored_*.FDB")}, QDir::Files, QDir::Name);
    for (const QString& name : copies)
        log.appendLine(
            QStringLiteral("Рядом с базой данных остался файл прежнего восстановления: %1")
                .arg(info.dir().filePath(name)));
}

void logUnchanged(ServiceLog& log, const QString& target) {
    if (QFileInfo::exists(target))
        log.appendLine(QStringLiteral("Файл базы данных не изменён: %1").arg(target));
}

} // namespace

DatabaseService::DatabaseService(Settings settings, ProgramConnection connection)
    : m_settings(std::move(settings)), m_connection(std::move(connection)) {}

QDateTime DatabaseService::now() const {
    return m_settings.now ? m_settings.now() : QDateTime::currentDateTime();
}

QString DatabaseService::server() const {
    return service_paths::splitConnectString(m_settings.connectString).server;
}

QString DatabaseService::currentDatabase() const {
    return service_paths::splitConnectString(m_settings.connectString).file;
}

QString DatabaseService::databaseFolder() const {
    return service_paths::databaseFolder(m_settings.connectString);
}

bool DatabaseService::isCurrentDatabase(const QString& path) const {
    if (isSameFile(path, currentDatabase()))
        return true;
    // The file the program itself is connected to counts as current too: it is the one whose
    // connection must close before the file is replaced.
    return m_connection.openFile && isSameFile(path, m_connection.openFile());
}

QString DatabaseService::timeText(const QDateTime& when) const {
    const QLocale locale;
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString DatabaseService::freeName(QString name,
                                  const std::function<QString(const QDateTime&)>& make) const {
    // Two runs within one second would share a name: the next second's name is taken, so the
    // names keep their form and their order.
    QDateTime when = now();
    while (QFileInfo::exists(name)) {
        when = when.addSecs(1);
        name = make(when);
    }
    return name;
}

bool DatabaseService::runBackup(const QString& database, const QString& file, ServiceLog& log,
                                bool* unknown) {
    *unknown = false;
    // Even a backup that fails attaches the database, which stamps its header; a folder that
    // cannot take the file is found out before the engine is asked.
    QFile probe(file);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        log.appendLine(
            QStringLiteral("Не удаётся создать файл архива %1: %2").arg(file, probe.errorString()));
        return false;
    }
    probe.close();
    probe.remove();
    const ServiceRunResult run = runService(
        [&](fb::ServiceManager& service, const fb::ServiceManager::LineHandler& onLine) {
            service.backup(database, file, onLine);
        },
        m_settings.login, server(), ServiceVerdict::EngineStatus, log);
    *unknown = run.outcome == ServiceRunResult::Outcome::Unknown;
    // A backup cut short looks like a good one by its name: it must not stay.
    if (!run.ok())
        QFile::remove(file);
    return run.ok();
}

bool DatabaseService::runRestore(const QString& backupFile, const QString& database,
                                 ServiceLog& log, bool* unknown) {
    const ServiceRunResult run = runService(
        [&](fb::ServiceManager& service, const fb::ServiceManager::LineHandler& onLine) {
            fb::ServiceManager::RestoreOptions options;
            options.pageSize = 4096;
            options.replace = false; // the new file is always ours; never replace anything
            service.restore(backupFile, database, options, onLine);
        },
        m_settings.login, server(), ServiceVerdict::EngineStatus, log);
    *unknown = run.outcome == ServiceRunResult::Outcome::Unknown;
    if (!run.ok())
        QFile::remove(database); // a half-restored copy is of no use
    return run.ok();
}

bool DatabaseService::runValidation(const QString& database, ServiceLog& log, bool* unknown) {
    const ServiceRunResult run = runService(
        [&](fb::ServiceManager& service, const fb::ServiceManager::LineHandler& onLine) {
            service.validate(database, onLine);
            // Limbo transactions are committed; they are no damage, so no verdict line.
            for (const qint64 id : service.limboTransactions(database))
                service.commitLimboTransaction(database, id);
        },
        m_settings.login, server(), ServiceVerdict::OutputLines, log);
    *unknown = run.outcome == ServiceRunResult::Outcome::Unknown;
    return run.ok();
}

bool DatabaseService::disconnectFrom(const QString& path, ServiceLog& log) {
    if (!m_connection.openFile || !m_connection.close)
        return false;
    const QString open = m_connection.openFile();
    if (open.isEmpty() || (!path.isEmpty() && !isSameFile(open, path)))
        return false;
    log.appendLine(QStringLiteral("Отключение от базы данных..."));
    m_connection.close();
    log.appendToLastLine(kOk);
    return true;
}

bool DatabaseService::reconnect(ServiceLog& log) {
    log.appendLine(QStringLiteral("Подключение к базе данных..."));
    if (!m_connection.reopen || !m_connection.reopen())
        return false;
    log.appendToLastLine(kOk);
    return true;
}

bool DatabaseService::swapIn(const QString& restored, const QString& target, ServiceLog& log) {
    log.appendLine(QStringLiteral("Замена файла базы данных восстановленной копией..."));
    QString error;
    switch (database_file::replaceFile(restored, target, &error)) {
    case database_file::ReplaceResult::Replaced:
        log.appendToLastLine(kOk);
        return true;
    case database_file::ReplaceResult::InUse:
        log.appendToLastLine(QStringLiteral(" Ошибка."));
        log.appendLine(QStringLiteral("Файл базы данных используется другим подключением, "
                                      "замена невозможна: %1")
                           .arg(target));
        break;
    case database_file::ReplaceResult::Failed:
        log.appendToLastLine(QStringLiteral(" Ошибка."));
        log.appendLine(QStringLiteral("Не удалось заменить файл базы данных: %1").arg(error));
        break;
    }
    log.appendLine(keptCopyLine(restored));
    return false;
}

DatabaseService::Result DatabaseService::backup(ServiceLog& log, const QString& folder) {
    Result result;
    log.appendLine(service_log::separator());
    log.appendLine(QStringLiteral("Ручная архивация началась в %1...\n").arg(timeText(now())));
    QString base = folder.isEmpty() ? databaseFolder() : folder;
    if (!folder.isEmpty() && !base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    // The newest manual backup must sort last (keeping the newest few deletes by name), so a
    // name already taken by a run a moment ago moves this one past it.
    QDateTime when = now();
    when = when.addMSecs(-when.time().msec()); // names tell whole seconds
    const QString folderPath = base.isEmpty() ? QStringLiteral(".") : base;
    for (const QString& name : QDir(folderPath).entryList(QDir::Files, QDir::Name)) {
        const QDateTime taken = service_paths::manualBackupTime(name);
        if (taken.isValid() && taken >= when)
            when = taken.addSecs(1);
    }
    const QString file = service_paths::manualBackupName(base, when);
    bool unknown = false;
    if (runBackup(currentDatabase(), file, log, &unknown)) {
        log.appendLine(QStringLiteral("создан архив: %1").arg(file));
        log.appendLine(
            QStringLiteral("Ручная архивация успешно завершилась в %1.").arg(timeText(now())));
        result.ok = true;
        result.file = file;
    } else {
        log.appendLine(unknown ? QStringLiteral("Неизвестная ошибка при архивации.")
                               : QStringLiteral("Ручная архивация прервана из-за ошибки."));
    }
    return result;
}

DatabaseService::Result DatabaseService::restore(const QString& backupFile, const QString& target,
                                                 ServiceLog& log) {
    Result result;
    log.appendLine(service_log::separator());
    log.appendLine(QStringLiteral("Восстановление началось в %1...\n").arg(timeText(now())));
    logEarlierCopies(log, target);
    const QString copy =
        freeName(service_paths::restoredCopyName(target, now()), [&](const QDateTime& when) {
            return service_paths::restoredCopyName(target, when);
        });
    bool unknown = false;
    if (!runRestore(backupFile, copy, log, &unknown)) {
        log.appendLine(unknown
                           ? QStringLiteral("Неизвестная ошибка при восстановлении базы данных.")
                           : QStringLiteral("Восстановление прервано из-за ошибки."));
        logUnchanged(log, target);
        return result;
    }
    log.appendLine(QStringLiteral("Проверяем целостность базы данных..."));
    if (!runValidation(copy, log, &unknown)) {
        log.appendLine(
            unknown ? QStringLiteral("Неизвестная ошибка при проверке целостности базы данных.")
                    : QStringLiteral("ОШИБКА: Целостность базы данных нарушена."));
        log.appendLine(keptCopyLine(copy));
        log.appendLine(QStringLiteral("Восстановление прервано из-за ошибки."));
        logUnchanged(log, target);
        result.keptFiles << copy;
        return result;
    }
    log.appendToLastLine(kOk);

    const bool closed = disconnectFrom(target, log);
    if (swapIn(copy, target, log)) {
        log.appendLine(QStringLiteral("создан файл базы данных: %1").arg(target));
        log.appendLine(
            QStringLiteral("Восстановление успешно завершилось в %1.").arg(timeText(now())));
        result.ok = true;
        result.file = target;
    } else {
        log.appendLine(QStringLiteral("Восстановление прервано из-за ошибки."));
        logUnchanged(log, target);
        result.keptFiles << copy;
    }
    if (closed && !reconnect(log))
        result.reconnectFailed = true;
    return result;
}

DatabaseService::Result DatabaseService::repair(ServiceLog& log) {
    Result result;
    const QString database = currentDatabase();
    const QString folder = databaseFolder();
    bool failed = false;
    bool unknown = false;
    const bool closed = disconnectFrom(QString(), log);

    log.appendLine(QStringLiteral("Архивация базы данных..."));
    const QString backupFile =
        freeName(service_paths::repairBackupName(folder, now()), [&](const QDateTime& when) {
            return service_paths::repairBackupName(folder, when);
        });
    if (runBackup(database, backupFile, log, &unknown)) {
        log.appendToLastLine(kOk);
    } else {
        log.appendLine(
            unknown ? QStringLiteral("Неизвестная ошибка при архивации базы данных.")
                    : QStringLiteral("Ремонт прерван из-за ошибки при архивации базы данных."));
        failed = true;
    }

    QString copy;
    if (!failed) {
        copy =
            freeName(service_paths::restoredCopyName(database, now()), [&](const QDateTime& when) {
                return service_paths::restoredCopyName(database, when);
            });
        log.appendLine(QStringLiteral("Восстановление базы даннных..."));
        bool restored = runRestore(backupFile, copy, log, &unknown);
        if (restored) {
            log.appendToLastLine(kOk);
        } else {
            log.appendLine(
                unknown ? QStringLiteral("Неизвестная ошибка при восстановлении базы данных.")
                        : QStringLiteral("Восстановление базы данных прервано из-за ошибки."));
            failed = true;
            copy.clear();
        }
        // Checked whatever the restore gave: the new file when there is one, else the
        // database itself, so the log says what state it is in.
        log.appendLine(QStringLiteral("Проверяем целостность базы данных..."));
        if (runValidation(restored ? copy : database, log, &unknown)) {
            log.appendToLastLine(kOk);
        } else {
            log.appendLine(
                unknown ? QStringLiteral("Неизвестная ошибка при проверке целостности базы данных.")
                        : QStringLiteral("ОШИБКА: Целостность базы данных нарушена."));
            failed = true;
            if (restored) {
                log.appendLine(keptCopyLine(copy));
                result.keptFiles << copy;
            }
        }
        if (!failed && !swapIn(copy, database, log)) {
            failed = true;
            result.keptFiles << copy;
        }
        if (!failed) {
            log.appendLine(QStringLiteral("Удаление временного архива..."));
            log.appendToLastLine(QFile::remove(backupFile)
                                     ? kOk
                                     : QStringLiteral(" Ошибка при удалении временного архива."));
        }
    }
    if (failed) {
        if (QFileInfo::exists(backupFile)) {
            log.appendLine(QStringLiteral("Временный архив сохранён в файле: %1").arg(backupFile));
            result.keptFiles << backupFile;
        }
        logUnchanged(log, database);
    }
    if (closed && !reconnect(log)) {
        result.reconnectFailed = true;
        return result;
    }
    log.appendLine(failed ? QStringLiteral("---- Ремонт завершился неудачей ----")
                          : QStringLiteral("---- Ремонт удачно завершен ----"));
    result.ok = !failed;
    result.file = database;
    return result;
}

DatabaseService::Result DatabaseService::validate(const QString& database, ServiceLog& log) {
    Result result;
    bool unknown = false;
    log.appendLine(QStringLiteral("Проверяем целостность базы данных..."));
    if (runValidation(database, log, &unknown)) {
        log.appendToLastLine(kOk);
        result.ok = true;
    } else {
        log.appendLine(
            unknown ? QStringLiteral("Неизвестная ошибка при проверке целостности базы данных.")
                    : QStringLiteral("ОШИБКА: Целостность базы данных нарушена."));
    }
    result.file = database;
    return result;
}
