#include "cli_service.h"

#include "service/database_service.h"
#include "service/service_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <cstdio>
#include <unistd.h>

const char kServiceUsage[] =
    "  sroko-cli backup --db PATH [--to DIR] [--keep N]\n"
    "      Backs the database up into DIR (default: the database's folder) as\n"
    "      YYYY_MM_DD-HH_MM_SS_m.FBK and prints the file made; with --keep, deletes\n"
    "      the older manual backups of DIR beyond the newest N and prints each as\n"
    "      deleted FILE.\n"
    "  sroko-cli restore --db TARGET --from FILE.fbk\n"
    "      Restores the backup into a new file beside TARGET, validates it and only\n"
    "      then puts it in TARGET's place; refuses when another connection uses\n"
    "      TARGET (the restored copy is kept and named).\n"
    "  sroko-cli validate --db PATH\n"
    "      Checks the whole database; exit 1 with the engine's lines when it has errors.\n";

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

int usageError(const QString& message) {
    print(stderr, QStringLiteral("sroko-cli: %1\nTry 'sroko-cli --help'.\n").arg(message));
    return kUsageError;
}

// The service log goes to standard error as it is written: the user sees a long run progress.
class StderrLog : public ServiceLog {
public:
    void appendLine(const QString& text) override {
        flushLine();
        service_log::appendLogLine(m_pending, text);
    }
    void appendToLastLine(const QString& text) override {
        service_log::appendToLastLine(m_pending, text);
    }
    ~StderrLog() override { flushLine(); }

private:
    // A line is printed once nothing more can be appended to it.
    void flushLine() {
        for (const QString& line : m_pending)
            print(stderr, line + QLatin1Char('\n'));
        m_pending.clear();
    }
    QStringList m_pending;
};

// --name value pairs; nothing when an argument is wrong (the message is printed).
std::optional<QMap<QString, QString>> parse(const QStringList& args, const QStringList& allowed) {
    QMap<QString, QString> values;
    for (int i = 0; i < args.size(); ++i) {
        QString name = args.at(i);
        QString value;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        } else if (i + 1 < args.size()) {
            value = args.at(++i);
        } else {
            usageError(QStringLiteral("option %1 needs a value").arg(name));
            return std::nullopt;
        }
        if (!allowed.contains(name)) {
            usageError(QStringLiteral("unknown option %1").arg(name));
            return std::nullopt;
        }
        values.insert(name, value);
    }
    return values;
}

DatabaseService serviceFor(const QString& database) {
    DatabaseService::Settings settings;
    settings.connectString = QFileInfo(database).absoluteFilePath();
    return DatabaseService(settings);
}

int runBackup(const QMap<QString, QString>& options) {
    const QString db = options.value(QStringLiteral("--db"));
    if (!QFileInfo(db).isFile())
        return usageError(QStringLiteral("database not found: %1").arg(db));
    int keep = -1;
    if (options.contains(QStringLiteral("--keep"))) {
        bool ok = false;
        keep = options.value(QStringLiteral("--keep")).toInt(&ok);
        if (!ok || keep < 1)
            return usageError(QStringLiteral("--keep needs a whole number of at least 1"));
    }
    QString folder = options.value(QStringLiteral("--to"));
    if (!folder.isEmpty()) {
        if (!QFileInfo(folder).isDir())
            return usageError(QStringLiteral("folder not found: %1").arg(folder));
        folder = QFileInfo(folder).absoluteFilePath();
    }
    DatabaseService service = serviceFor(db);
    DatabaseService::Result result;
    {
        StderrLog log;
        result = service.backup(log, folder);
    }
    if (!result.ok)
        return kFailed;
    print(stdout, result.file + QLatin1Char('\n'));
    if (keep > 0) {
        const QDir dir(QFileInfo(result.file).absolutePath());
        QStringList backups;
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
            if (service_paths::isManualBackupName(name) && dir.filePath(name) != result.file)
                backups << name;
        // The names sort by their time stamp: the oldest come first.
        for (qsizetype i = 0; i + keep - 1 < backups.size(); ++i) {
            const QString path = dir.filePath(backups.at(i));
            if (QFile::remove(path))
                print(stdout, QStringLiteral("deleted %1\n").arg(path));
            else
                print(stderr, QStringLiteral("sroko-cli: cannot delete %1\n").arg(path));
        }
    }
    return kOk;
}

int runRestore(const QMap<QString, QString>& options) {
    const QString target = options.value(QStringLiteral("--db"));
    const QString backup = options.value(QStringLiteral("--from"));
    if (target.isEmpty() || backup.isEmpty())
        return usageError(QStringLiteral("restore needs --db and --from"));
    if (!QFileInfo(backup).isFile())
        return usageError(QStringLiteral("backup file not found: %1").arg(backup));
    // The engine's restore asks on the console for the next volume of a cut-off backup; with
    // nothing to read it gives up instead of waiting for a key.
    if (!std::freopen("/dev/null", "r", stdin))
        return usageError(QStringLiteral("cannot detach from the console"));
    const QString absoluteTarget = QFileInfo(target).absoluteFilePath();
    DatabaseService service = serviceFor(absoluteTarget);
    DatabaseService::Result result;
    {
        StderrLog log;
        result = service.restore(QFileInfo(backup).absoluteFilePath(), absoluteTarget, log);
    }
    if (!result.ok)
        return kFailed;
    print(stdout, absoluteTarget + QLatin1Char('\n'));
    return kOk;
}

int runValidate(const QMap<QString, QString>& options) {
    const QString db = options.value(QStringLiteral("--db"));
    if (!QFileInfo(db).isFile())
        return usageError(QStringLiteral("database not found: %1").arg(db));
    DatabaseService service = serviceFor(db);
    StderrLog log;
    return service.validate(QFileInfo(db).absoluteFilePath(), log).ok ? kOk : kFailed;
}

} // namespace

namespace {

std::optional<int> dispatch(const QStringList& args) {
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    const QString db = QStringLiteral("--db");
    std::optional<QMap<QString, QString>> options;
    if (command == QLatin1String("backup")) {
        options = parse(rest, {db, QStringLiteral("--to"), QStringLiteral("--keep")});
        return options ? runBackup(*options) : kUsageError;
    }
    if (command == QLatin1String("restore")) {
        options = parse(rest, {db, QStringLiteral("--from")});
        return options ? runRestore(*options) : kUsageError;
    }
    if (command == QLatin1String("validate")) {
        options = parse(rest, {db});
        return options ? runValidate(*options) : kUsageError;
    }
    return std::nullopt;
}

} // namespace

std::optional<int> runServiceCommand(const QStringList& args) {
    if (args.isEmpty())
        return std::nullopt;
    const std::optional<int> code = dispatch(args);
    if (!code)
        return code;
    // Every connection is closed by now. The engine's lock thread wakes up whenever another
    // process of ours touches a shared lock, and both a normal exit and the engine's own
    // shutdown unload the engine under that thread (a crash after the work is done); so the
    // process ends at once instead.
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(*code);
}
