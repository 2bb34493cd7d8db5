#include "fb/error.h"
#include "fb/service_manager.h"
#include "store/database_creator.h"
#include "support/test_database.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList kLogin = {QStringLiteral("user_name=sysdba"),
                            QStringLiteral("password=quillbent")};

} // namespace

TEST(ServiceManager, BackupRestoreAndValidationStreamTheirLines) {
    TestDatabase db(true);
    const QString backup = db.folder() + QStringLiteral("/copy.fbk");
    const QString restored = db.folder() + QStringLiteral("/copy.fdb");
    fb::ServiceManager service(kLogin);

    QStringList backupLines;
    service.backup(db.path(), backup, [&](const QString& line) { backupLines << line; });
    EXPECT_GT(QFileInfo(backup).size(), 0);
    EXPECT_FALSE(backupLines.isEmpty());
    EXPECT_TRUE(backupLines.join(QLatin1Char('\n')).contains(QStringLiteral("BUH_ACCOUNT")))
        << backupLines.join(QLatin1Char('\n')).toStdString();

    QStringList restoreLines;
    service.restore(backup, restored, fb::ServiceManager::RestoreOptions{},
                    [&](const QString& line) { restoreLines << line; });
    EXPECT_TRUE(QFileInfo(restored).isFile());
    EXPECT_FALSE(restoreLines.isEmpty());

    QStringList validationLines;
    service.validate(restored, [&](const QString& line) { validationLines << line; });
    // A sound database gives no validation lines.
    EXPECT_TRUE(validationLines.isEmpty()) << validationLines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(service.limboTransactions(restored).isEmpty());
}

TEST(ServiceManager, FailedRestoreThrowsTheEnginesText) {
    QTemporaryDir dir;
    const QString notBackup = dir.filePath(QStringLiteral("junk.fbk"));
    QFile f(notBackup);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a backup file at all\n");
    f.close();
    fb::ServiceManager service(kLogin);
    QStringList lines;
    try {
        service.restore(notBackup, dir.filePath(QStringLiteral("x.fdb")),
                        fb::ServiceManager::RestoreOptions{},
                        [&](const QString& line) { lines << line; });
        FAIL() << "restore of a non-backup succeeded";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.engineText().contains(QStringLiteral("expected backup description record")))
            << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("x.fdb"))));
}
