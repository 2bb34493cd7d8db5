#include "service/service_log.h"
#include "service/service_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace service_paths;

TEST(ServiceLogLines, AppendAddsLinesAndALineBreakAtTheEndLeavesAnEmptyLine) {
    QStringList lines;
    service_log::appendLogLine(lines, QStringLiteral("один"));
    service_log::appendLogLine(lines, QStringLiteral("два\r\nтри\n"));
    service_log::appendToLastLine(lines, QStringLiteral("хвост"));
    EXPECT_EQ(lines, QStringList({QStringLiteral("один"), QStringLiteral("два"),
                                  QStringLiteral("три"), QStringLiteral("хвост")}));
    QStringList empty;
    service_log::appendToLastLine(empty, QStringLiteral(" OK."));
    EXPECT_EQ(empty, QStringList({QStringLiteral(" OK.")}));
}

TEST(ServiceLogLines, ALogOverTheLimitLosesItsOldestLineOncePerAddition) {
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        service_log::appendLogLine(lines, QStringLiteral("%1 ").arg(i, 3, 10, QLatin1Char('0')) +
                                              QString(96, QLatin1Char('x')));
    // 300 lines of 100 characters: the text passed 29000 after line 290.
    const qsizetype length = service_log::text(lines).size();
    EXPECT_GT(length, 29000);
    EXPECT_LT(length, 29000 + 200);
    const qsizetype count = lines.size();
    service_log::appendLogLine(lines, QStringLiteral("new"));
    EXPECT_EQ(lines.size(), count);
    EXPECT_EQ(lines.last(), QStringLiteral("new"));
    EXPECT_FALSE(lines.first().startsWith(QStringLiteral("000")));
}

TEST(ServiceLogLines, CleaningDropsControlCharactersAndEmptyLines) {
    QStringList lines = {QStringLiteral("\tgbak: line\r"), QStringLiteral("\x01\x02"), QString(),
                         QStringLiteral("  ")};
    service_log::cleanServiceOutput(lines);
    EXPECT_EQ(lines, QStringList({QStringLiteral("gbak: line"), QStringLiteral("  ")}));
    EXPECT_EQ(service_log::separator(), QString(54, QLatin1Char('=')));
}

TEST(ServicePaths, NamesFollowTheTime) {
    const QDateTime when(QDate(2024, 3, 15), QTime(14, 5, 9));
    EXPECT_EQ(manualBackupName(QStringLiteral("/data/"), when),
              QStringLiteral("/data/2024_03_15-14_05_09_m.FBK"));
    EXPECT_EQ(manualBackupName(QString(), when), QStringLiteral("2024_03_15-14_05_09_m.FBK"));
    EXPECT_TRUE(isManualBackupName(QStringLiteral("2024_03_15-14_05_09_m.FBK")));
    EXPECT_FALSE(isManualBackupName(QStringLiteral("14_05_09_2024_03_15.FBK")));
    EXPECT_EQ(repairBackupName(QStringLiteral("/data/"), when),
              QStringLiteral("/data/14_05_09_2024_03_15.FBK"));
    EXPECT_EQ(restoredCopyName(QStringLiteral("/data/Base.fdb"), when),
              QStringLiteral("/data/Base_restored_2024_03_15-14_05_09.FDB"));
}

TEST(ServicePaths, FolderAndServerOfAConnectString) {
    struct Case {
        const char* connect;
        const char* folder;
        const char* server;
        const char* file;
    };
    const Case cases[] = {
        {"/home/u/Base/Sroko.fdb", "/home/u/Base/", "", "/home/u/Base/Sroko.fdb"},
        {"srv:/data/b.fdb", "srv:/data/", "srv", "/data/b.fdb"},
        {"srv:D:\\Data\\base.fdb", "srv:D:\\Data\\", "srv", "D:\\Data\\base.fdb"},
        {"\\\\srv\\D:\\Data\\base.fdb", "\\\\srv\\D:\\Data\\", "srv", "D:\\Data\\base.fdb"},
        {"srv@/data/b.fdb", "srv@/data/", "srv", "/data/b.fdb"},
        {"C:\\Base\\b.fdb", "C:\\Base\\", "", "C:\\Base\\b.fdb"},
        {"Sroko.fdb", "", "", "Sroko.fdb"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connect);
        const QString connect = QString::fromUtf8(c.connect);
        EXPECT_EQ(databaseFolder(connect), QString::fromUtf8(c.folder));
        const ConnectTarget target = splitConnectString(connect);
        EXPECT_EQ(target.server, QString::fromUtf8(c.server));
        EXPECT_EQ(target.file, QString::fromUtf8(c.file));
    }
}

TEST(ServicePaths, TargetFromTheBackupFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"/d/data.fbk", "/d/data.FDB"},       {"/d/data", "/d/data.FDB"},
        {"/d/data.", "/d/data.FDB"},          {"/d/a.fbk.old.fbk", "/d/a.FDB.old.FDB"},
        {"/d/a.FBK.x.fbk", "/d/a.FBK.x.FDB"}, {"/d.x/Архив", "/d.x/Архив.FDB"},
    };
    for (const auto& [backup, target] : cases)
        EXPECT_EQ(targetFromBackup(QString::fromUtf8(backup)), QString::fromUtf8(target)) << backup;
}

TEST(ServicePaths, SameFileComparesCanonicalPathsAndKeepsLetterCase) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Base.fdb"));
    QFile(file).open(QIODevice::WriteOnly);
    QFile::link(file, dir.filePath(QStringLiteral("link.fdb")));
    EXPECT_TRUE(isSameFile(file, dir.path() + QStringLiteral("/./sub/../Base.fdb")));
    EXPECT_TRUE(isSameFile(file, dir.filePath(QStringLiteral("link.fdb"))));
    EXPECT_FALSE(isSameFile(file, dir.filePath(QStringLiteral("BASE.FDB"))));
    EXPECT_FALSE(isSameFile(file, QString()));
    EXPECT_EQ(canonicalPath(dir.filePath(QStringLiteral("New.FDB"))),
              QDir(dir.path()).canonicalPath() + QStringLiteral("/New.FDB"));
}
