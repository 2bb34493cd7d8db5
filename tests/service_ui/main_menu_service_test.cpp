#include "app/tmf.h"
#include "books/organizations_panel.h"
#include "core/clock.h"
#include "data/tdm.h"
#include "fb/dataset.h"
#include "service/database_service.h"
#include "service/ui/base_services_form.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"
#include "widgets/button_edit.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The main menu's item opens the service window; a restore over the database the program uses
// closes the main window's connection and lists for the swap and opens them again.
TEST(MainMenuService, RestoreOverTheProgramsDatabaseReopensTheMainWindowsLists) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Base"));
    const QString db = dir.filePath(QStringLiteral("Base/Sroko.fdb"));
    TestDatabase::createAt(db, true);
    QFile ini(dir.filePath(QStringLiteral("Sroko.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write(QStringLiteral("[DB]\r\nDBFile=%1\r\n").arg(db).toLocal8Bit());
    ini.close();
    FixedClock clock(QDateTime(QDate(2025, 3, 10), QTime(9, 0)));
    ScriptedDialogs dialogs;
    int ended = 0;
    TMFServices services;
    services.openUrl = [](const QUrl&) {};
    services.startProgram = [](const QString&, const QString&) { return true; };
    services.openDatabaseService = openBaseServicesForm;
    TMF window(AppContext{dir.path(), &dialogs, &clock, [&ended] { ++ended; }}, services);
    ASSERT_TRUE(window.FormCreate());
    ASSERT_TRUE(window.MM_DBService->isEnabled());
    const int organisations = window.organizations->qOrgan->rowCount();
    ASSERT_GT(organisations, 0);

    // A backup made while the program runs, then the organisations changed after it.
    LineLog backupLog;
    DatabaseService::Settings settings;
    settings.connectString = db;
    const QString backup = DatabaseService(settings).backup(backupLog).file;
    ASSERT_FALSE(backup.isEmpty()) << backupLog.text().toStdString();
    {
        fb::Transaction t(window.dataModule()->SHCDataBase);
        window.dataModule()->SHCDataBase.executeImmediate(
            t, QStringLiteral("DELETE FROM ORGANIZATION"));
        t.commit();
    }
    window.organizations->qOrgan->refresh();
    ASSERT_EQ(window.organizations->qOrgan->rowCount(), 0);

    QStringList restoreLog;
    dialogs.onExec(QStringLiteral("TBaseServicesForm"), [&](QDialog& d) {
        auto& form = static_cast<TBaseServicesForm&>(d);
        form.fnGBK->setText(backup);
        form.fnGDB->setText(db);
        dialogs.answer({MsgResult::Yes, MsgResult::Yes});
        form.btRestoreClick();
        restoreLog = form.mmRestoreLog->toPlainText().split(QLatin1Char('\n'));
        return int(QDialog::Rejected);
    });
    window.MM_DBService->trigger();
    EXPECT_TRUE(restoreLog.contains(QStringLiteral("Отключение от базы данных... OK.")))
        << restoreLog.join('\n').toStdString();
    EXPECT_TRUE(restoreLog.contains(QStringLiteral("Подключение к базе данных... OK.")));
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(window.dataModule()->SHCDataBase.isConnected());
    EXPECT_EQ(window.organizations->qOrgan->rowCount(), organisations);
    dialogs.answer(MsgResult::Yes);
    window.close();
}
