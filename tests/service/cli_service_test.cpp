#include "service_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

using namespace service_test;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& args, const QString& shellPrefix = QString()) {
    QProcess process;
    if (shellPrefix.isEmpty()) {
        process.start(cliPath(), args);
    } else {
        QStringList quoted;
        for (const QString& a : QStringList{cliPath()} + args)
            quoted << QLatin1Char('\'') + a + QLatin1Char('\'');
        process.start(QStringLiteral("bash"),
                      {QStringLiteral("-c"),
                       shellPrefix + QStringLiteral("; exec ") + quoted.join(QLatin1Char(' '))});
    }
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList restoredCopies(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*_restored_*")}, QDir::Files);
}

// A database big enough that its restore takes a while.
void fillBig(const TestDatabase& db) {
    db.exec(QStringLiteral("CREATE TABLE BIG_ROWS (ID INTEGER NOT NULL PRIMARY KEY, "
                           "NOTE VARCHAR(400))"));
    db.exec(QStringLiteral(
        "SET TERM ^ ;\nEXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 150000) DO "
        "BEGIN INSERT INTO BIG_ROWS VALUES (:I, LPAD('', 300, 'x') || :I); I = I + 1; END END^"));
}

} // namespace

TEST(CliService, BackupKeepsTheNewestFiles) {
    TestDatabase db;
    QStringList made;
    for (int i = 0; i < 5; ++i) {
        const CliRun run = runCli({QStringLiteral("backup"), QStringLiteral("--db"), db.path(),
                                   QStringLiteral("--keep"), QStringLiteral("3")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        made << run.out.split(QLatin1Char('\n')).first();
        EXPECT_TRUE(QFileInfo(made.last()).isFile());
    }
    QStringList left =
        QDir(db.folder()).entryList({QStringLiteral("*_m.FBK")}, QDir::Files, QDir::Name);
    ASSERT_EQ(left.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((db.folder() + QLatin1Char('/') + left.at(i)).toStdString(),
                  made.at(i + 2).toStdString());
}

TEST(CliService, BackupToAnotherFolderAndBadArguments) {
    TestDatabase db;
    QTemporaryDir other;
    const CliRun run = runCli({QStringLiteral("backup"), QStringLiteral("--db"), db.path(),
                               QStringLiteral("--to"), other.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(other.path() + QLatin1Char('/')));
    EXPECT_EQ(runCli({QStringLiteral("backup"), QStringLiteral("--db"),
                      db.folder() + QStringLiteral("/none.fdb")})
                  .exitCode,
              2);
    EXPECT_EQ(runCli({QStringLiteral("restore"), QStringLiteral("--db"), db.path()}).exitCode, 2);
}

TEST(CliService, RestoreRefusesATargetTheProgramUses) {
    TestDatabase db(true);
    const CliRun backup = runCli({QStringLiteral("backup"), QStringLiteral("--db"), db.path()});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    const QString file = backup.out.trimmed();
    // The program's connection, as the running program holds it.
    ProgramAttachment program(db.path());
    const QByteArray before = digest(db.path());
    const CliRun restore = runCli({QStringLiteral("restore"), QStringLiteral("--db"), db.path(),
                                   QStringLiteral("--from"), file});
    EXPECT_EQ(restore.exitCode, 1);
    EXPECT_EQ(digest(db.path()), before);
    EXPECT_TRUE(restore.err.contains(QStringLiteral("используется другим подключением")))
        << restore.err.toStdString();
    const QStringList kept = restoredCopies(db.folder());
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(restore.err.contains(kept.first()));
}

TEST(CliService, ValidateTellsADamagedDatabase) {
    TestDatabase db(true);
    EXPECT_EQ(runCli({QStringLiteral("validate"), QStringLiteral("--db"), db.path()}).exitCode, 0);
    // Overwrite the record index of the last data page.
    QFile file(db.path());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll();
    const int pageSize =
        static_cast<unsigned char>(bytes[16]) | (static_cast<unsigned char>(bytes[17]) << 8);
    qint64 lastData = -1;
    for (qint64 page = 0; page * pageSize < bytes.size(); ++page)
        if (bytes[page * pageSize] == 5)
            lastData = page;
    ASSERT_GT(lastData, 0);
    file.seek(lastData * pageSize + 24);
    file.write(QByteArray(64, '\xff'));
    file.close();
    const CliRun run = runCli({QStringLiteral("validate"), QStringLiteral("--db"), db.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("ОШИБКА: Целостность базы данных нарушена.")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("validation errors"))) << run.err.toStdString();
}

TEST(CliService, ARestoreKilledHalfWayLeavesTheTargetAsItWas) {
    TestDatabase db;
    fillBig(db);
    const CliRun backup = runCli({QStringLiteral("backup"), QStringLiteral("--db"), db.path()});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    const QByteArray before = digest(db.path());

    QProcess restore;
    restore.start(cliPath(), {QStringLiteral("restore"), QStringLiteral("--db"), db.path(),
                              QStringLiteral("--from"), backup.out.trimmed()});
    ASSERT_TRUE(restore.waitForStarted());
    // Wait until the restore is writing its new file, then kill it without warning.
    bool writing = false;
    while (restore.state() == QProcess::Running && !writing) {
        const QStringList copies = restoredCopies(db.folder());
        writing = !copies.isEmpty() &&
                  QFileInfo(db.folder() + QLatin1Char('/') + copies.first()).size() > 1024 * 1024;
        QThread::msleep(20);
    }
    ASSERT_TRUE(writing) << "the restore ended before it could be killed";
    ::kill(static_cast<pid_t>(restore.processId()), SIGKILL);
    restore.waitForFinished();
    EXPECT_EQ(restore.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(digest(db.path()), before);
    // The half-written copy is left beside the target under its own name; the target opens.
    EXPECT_EQ(restoredCopies(db.folder()).size(), 1);
    EXPECT_EQ(column(*db.connect(), QStringLiteral("SELECT COUNT(*) FROM BIG_ROWS")),
              QStringList({QStringLiteral("150000")}));
    // The next restore names the copy left behind and goes through.
    const QString left = db.folder() + QLatin1Char('/') + restoredCopies(db.folder()).first();
    const CliRun again = runCli({QStringLiteral("restore"), QStringLiteral("--db"), db.path(),
                                 QStringLiteral("--from"), backup.out.trimmed()});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains(
        QStringLiteral("Рядом с базой данных остался файл прежнего восстановления: ") + left))
        << again.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(left));
}

TEST(CliService, ARestoreThatRunsOutOfSpaceLeavesTheTargetAsItWas) {
    TestDatabase db;
    fillBig(db);
    const CliRun backup = runCli({QStringLiteral("backup"), QStringLiteral("--db"), db.path()});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    const QByteArray before = digest(db.path());
    // The restoring process may write no file beyond 4 MB: its disk is "full" long before the
    // restored copy is complete (the engine's own lock files stay well under the limit).
    ASSERT_GT(QFileInfo(db.path()).size(), 8 * 1024 * 1024);
    const qint64 limitKb = 4 * 1024;
    const CliRun restore = runCli({QStringLiteral("restore"), QStringLiteral("--db"), db.path(),
                                   QStringLiteral("--from"), backup.out.trimmed()},
                                  QStringLiteral("trap '' XFSZ; ulimit -f %1").arg(limitKb));
    EXPECT_EQ(restore.exitCode, 1) << restore.err.toStdString();
    EXPECT_TRUE(restore.err.contains(QStringLiteral("Восстановление прервано из-за ошибки.")))
        << restore.err.toStdString();
    EXPECT_TRUE(restore.err.contains(QStringLiteral("Файл базы данных не изменён: ") + db.path()));
    EXPECT_EQ(digest(db.path()), before);
    EXPECT_TRUE(restoredCopies(db.folder()).isEmpty());
}
