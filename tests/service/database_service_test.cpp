#include "service/database_file.h"
#include "service/database_service.h"
#include "service_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstdio>

using namespace service_test;

namespace {

const QDateTime kNoon(QDate(2024, 3, 15), QTime(14, 5, 9));

DatabaseService::Settings settingsFor(const QString& database) {
    DatabaseService::Settings settings;
    settings.connectString = database;
    settings.now = [] { return kNoon; };
    return settings;
}

QStringList folderFiles(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

class ServiceOps : public ::testing::Test {
protected:
    void SetUp() override {
        m_db = std::make_unique<TestDatabase>(true);
        m_program = std::make_unique<ProgramAttachment>(m_db->path());
        m_service =
            std::make_unique<DatabaseService>(settingsFor(m_db->path()), m_program->connection());
    }
    QString backupNow() {
        LineLog log;
        const DatabaseService::Result result = m_service->backup(log);
        EXPECT_TRUE(result.ok) << log.text().toStdString();
        return result.file;
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ProgramAttachment> m_program;
    std::unique_ptr<DatabaseService> m_service;
};

} // namespace

TEST_F(ServiceOps, BackupIsNamedByTimeInTheDatabaseFolderAndLogsItsLines) {
    LineLog log;
    const DatabaseService::Result result = m_service->backup(log);
    ASSERT_TRUE(result.ok) << log.text().toStdString();
    EXPECT_EQ(result.file, m_db->folder() + QStringLiteral("/2024_03_15-14_05_09_m.FBK"));
    EXPECT_GT(QFileInfo(result.file).size(), 0);
    const QStringList& lines = log.lines();
    ASSERT_EQ(lines.size(), 5) << log.text().toStdString();
    EXPECT_EQ(lines[0], QString(54, QLatin1Char('=')));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Ручная архивация началась в ")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("14:05:09...")));
    EXPECT_EQ(lines[2], QString());
    EXPECT_EQ(lines[3], QStringLiteral("создан архив: ") + result.file);
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("Ручная архивация успешно завершилась в ")));
    // The service's own lines were shown while it ran.
    EXPECT_FALSE(log.serviceLines().isEmpty());

    // A second backup within the same second takes the next second's name.
    LineLog second;
    EXPECT_EQ(m_service->backup(second).file,
              m_db->folder() + QStringLiteral("/2024_03_15-14_05_10_m.FBK"));
}

TEST_F(ServiceOps, BackupThenRestoreIntoANewFileGivesTheSameDatabase) {
    const QString backup = backupNow();
    const QString target = m_db->folder() + QStringLiteral("/Copy Of Base.fdb");
    LineLog log;
    const DatabaseService::Result result = m_service->restore(backup, target, log);
    ASSERT_TRUE(result.ok) << log.text().toStdString();
    EXPECT_EQ(snapshot(target), snapshot(m_db->path()));
    EXPECT_EQ(m_program->closed(), 0) << "another file: the program's connection stays";
    EXPECT_TRUE(log.lines().contains(QStringLiteral("создан файл базы данных: ") + target));
    // Nothing but the database, its backup and the new file: no restored copy left over.
    EXPECT_EQ(folderFiles(m_db->folder()),
              QStringList({QStringLiteral("2024_03_15-14_05_09_m.FBK"),
                           QStringLiteral("Copy Of Base.fdb"), QStringLiteral("Sroko.fdb")}));
}

TEST_F(ServiceOps, RestoreOverTheCurrentDatabaseClosesAndReopensTheConnection) {
    const QStringList before = snapshot(m_db->path());
    const QString backup = backupNow();
    m_db->exec(QStringLiteral("DELETE FROM BUH_HOLIDAY"));
    ASSERT_NE(snapshot(m_db->path()), before);
    ASSERT_TRUE(m_service->isCurrentDatabase(m_db->folder() + QStringLiteral("/./Sroko.fdb")));

    LineLog log;
    const DatabaseService::Result result = m_service->restore(backup, m_db->path(), log);
    ASSERT_TRUE(result.ok) << log.text().toStdString();
    EXPECT_FALSE(result.reconnectFailed);
    EXPECT_EQ(m_program->closed(), 1);
    EXPECT_EQ(m_program->reopened(), 1);
    EXPECT_TRUE(m_program->attachment().isConnected());
    EXPECT_EQ(snapshot(m_db->path()), before);
    const QStringList& lines = log.lines();
    const qsizetype off = lines.indexOf(QStringLiteral("Отключение от базы данных... OK."));
    const qsizetype swap =
        lines.indexOf(QStringLiteral("Замена файла базы данных восстановленной копией... OK."));
    const qsizetype on = lines.indexOf(QStringLiteral("Подключение к базе данных... OK."));
    EXPECT_TRUE(lines.contains(QStringLiteral("Проверяем целостность базы данных... OK.")));
    EXPECT_TRUE(off > 0 && swap > off && on > swap) << log.text().toStdString();
    EXPECT_EQ(folderFiles(m_db->folder()), QStringList({QStringLiteral("2024_03_15-14_05_09_m.FBK"),
                                                        QStringLiteral("Sroko.fdb")}));
}

TEST_F(ServiceOps, ARestoreWhoseReconnectFailsSaysSo) {
    const QString backup = backupNow();
    m_program->failReopen();
    LineLog log;
    const DatabaseService::Result result = m_service->restore(backup, m_db->path(), log);
    EXPECT_TRUE(result.reconnectFailed);
    EXPECT_EQ(log.lines().last(), QStringLiteral("Подключение к базе данных..."));
}

// Each bad backup file: the restore fails with the engine's words, the target is byte for byte
// what it was, the log says so, and no restored copy is left behind.
TEST_F(ServiceOps, BadBackupFilesLeaveTheTargetUnchanged) {
    // The engine asks on the console for the rest of a cut-off backup: nobody answers here.
    ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
    const QString good = backupNow();
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    const QByteArray goodBytes = goodFile.readAll();
    goodFile.close();
    QByteArray newer = goodBytes;
    // The backup's format version follows its first record marker; no engine of ours knows 99.
    newer[2] = 99;

    struct Case {
        const char* name;
        std::optional<QByteArray> bytes; // nothing: the file is missing
    };
    const Case cases[] = {
        {"missing", std::nullopt},
        {"empty", QByteArray()},
        {"truncated", goodBytes.left(goodBytes.size() / 2)},
        {"not a backup", QByteArray("Это не архив базы данных.\n").repeated(100)},
        {"newer format", newer},
    };
    const QByteArray before = digest(m_db->path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = m_db->folder() + QStringLiteral("/bad.fbk");
        QFile::remove(file);
        if (c.bytes) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(*c.bytes);
        }
        LineLog log;
        const DatabaseService::Result result = m_service->restore(file, m_db->path(), log);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(digest(m_db->path()), before);
        EXPECT_TRUE(m_program->attachment().isConnected());
        EXPECT_TRUE(log.lines().contains(QStringLiteral("Восстановление прервано из-за ошибки.")))
            << log.text().toStdString();
        EXPECT_EQ(log.lines().last(),
                  QStringLiteral("Файл базы данных не изменён: ") + m_db->path());
        // The engine's own words precede the failure line.
        EXPECT_GT(log.lines().size(), 5) << log.text().toStdString();
        QFile::remove(file);
        EXPECT_EQ(folderFiles(m_db->folder()),
                  QStringList(
                      {QStringLiteral("2024_03_15-14_05_09_m.FBK"), QStringLiteral("Sroko.fdb")}));
    }
}

TEST_F(ServiceOps, ATargetUsedByAnotherProcessIsNotReplaced) {
    const QString backup = backupNow();
    OtherProcessConnection other(m_db->path());
    ASSERT_TRUE(other.running());
    // Every attachment stamps the engine's header, so the file is read once the other is in.
    const QByteArray before = digest(m_db->path());
    ASSERT_TRUE(database_file::isInUse(m_db->path()));

    LineLog log;
    const DatabaseService::Result result = m_service->restore(backup, m_db->path(), log);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reconnectFailed);
    EXPECT_EQ(m_program->digestBeforeReopen(), before);
    ASSERT_EQ(result.keptFiles.size(), 1);
    const QString kept = result.keptFiles.first();
    EXPECT_EQ(kept, m_db->folder() + QStringLiteral("/Sroko_restored_2024_03_15-14_05_09.FDB"));
    EXPECT_TRUE(QFileInfo(kept).isFile());
    EXPECT_TRUE(log.lines().contains(
        QStringLiteral("Файл базы данных используется другим подключением, замена невозможна: ") +
        m_db->path()))
        << log.text().toStdString();
    EXPECT_TRUE(
        log.lines().contains(QStringLiteral("Восстановленная копия сохранена в файле: ") + kept));
    // The program's connection was closed for the attempt and is open again.
    EXPECT_TRUE(m_program->attachment().isConnected());
    EXPECT_EQ(log.lines().last(), QStringLiteral("Подключение к базе данных... OK."));
    // The kept copy is a sound database.
    EXPECT_EQ(snapshot(kept), snapshot(m_db->path()));
}

TEST_F(ServiceOps, RepairOfASoundDatabaseLeavesNoTemporaryFile) {
    const QStringList before = snapshot(m_db->path());
    LineLog log;
    const DatabaseService::Result result = m_service->repair(log);
    ASSERT_TRUE(result.ok) << log.text().toStdString();
    EXPECT_EQ(log.lines(),
              QStringList({QStringLiteral("Отключение от базы данных... OK."),
                           QStringLiteral("Архивация базы данных... OK."),
                           QStringLiteral("Восстановление базы даннных... OK."),
                           QStringLiteral("Проверяем целостность базы данных... OK."),
                           QStringLiteral("Замена файла базы данных восстановленной копией... OK."),
                           QStringLiteral("Удаление временного архива... OK."),
                           QStringLiteral("Подключение к базе данных... OK."),
                           QStringLiteral("---- Ремонт удачно завершен ----")}));
    EXPECT_EQ(folderFiles(m_db->folder()), QStringList({QStringLiteral("Sroko.fdb")}));
    EXPECT_TRUE(m_program->attachment().isConnected());
    EXPECT_EQ(snapshot(m_db->path()), before);
}

TEST_F(ServiceOps, RepairWhoseBackupFailsSkipsTheRestAndReconnects) {
    const QByteArray before = digest(m_db->path());
    UnwritableFolder folder(m_db->folder());
    if (folder.writable())
        GTEST_SKIP() << "this machine cannot make a folder read-only";
    LineLog log;
    const DatabaseService::Result result = m_service->repair(log);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reconnectFailed);
    const QStringList& lines = log.lines();
    EXPECT_EQ(lines.first(), QStringLiteral("Отключение от базы данных... OK."));
    EXPECT_EQ(lines.at(1), QStringLiteral("Архивация базы данных..."));
    EXPECT_TRUE(
        lines.contains(QStringLiteral("Ремонт прерван из-за ошибки при архивации базы данных.")))
        << log.text().toStdString();
    EXPECT_FALSE(lines.contains(QStringLiteral("Восстановление базы даннных...")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Файл базы данных не изменён: ") + m_db->path()));
    EXPECT_EQ(lines.at(lines.size() - 2), QStringLiteral("Подключение к базе данных... OK."));
    EXPECT_EQ(lines.last(), QStringLiteral("---- Ремонт завершился неудачей ----"));
    EXPECT_TRUE(m_program->attachment().isConnected());
    EXPECT_EQ(m_program->digestBeforeReopen(), before);
    EXPECT_EQ(folderFiles(m_db->folder()), QStringList({QStringLiteral("Sroko.fdb")}));
}

TEST_F(ServiceOps, RestoreIntoAFolderThatCannotBeWrittenChangesNothing) {
    const QString backup = backupNow();
    QFile::rename(backup, QDir::temp().filePath(QStringLiteral("sroko_service_test.fbk")));
    const QString moved = QDir::temp().filePath(QStringLiteral("sroko_service_test.fbk"));
    const QByteArray before = digest(m_db->path());
    {
        UnwritableFolder folder(m_db->folder());
        if (folder.writable())
            GTEST_SKIP() << "this machine cannot make a folder read-only";
        LineLog log;
        const DatabaseService::Result result = m_service->restore(moved, m_db->path(), log);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(log.lines().contains(QStringLiteral("Восстановление прервано из-за ошибки.")));
        EXPECT_EQ(log.lines().last(),
                  QStringLiteral("Файл базы данных не изменён: ") + m_db->path());
    }
    QFile::remove(moved);
    EXPECT_EQ(digest(m_db->path()), before);
    EXPECT_TRUE(m_program->attachment().isConnected());
    EXPECT_EQ(folderFiles(m_db->folder()), QStringList({QStringLiteral("Sroko.fdb")}));
}
