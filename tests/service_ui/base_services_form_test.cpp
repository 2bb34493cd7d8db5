#include "core/clock.h"
#include "data/tdm.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "service/ui/base_services_form.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"
#include "widgets/balloon_hint.h"
#include "widgets/button_edit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

QStringList lines(const QPlainTextEdit* log) {
    return log->toPlainText().split(QLatin1Char('\n'));
}

// A program folder with its database and settings, the data module connected to it, and the
// window over them.
class ServiceWindow : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(m_folder.path()).mkpath(QStringLiteral("Base"));
        m_db = m_folder.filePath(QStringLiteral("Base/Sroko.fdb"));
        TestDatabase::createAt(m_db, true);
        QFile ini(m_folder.filePath(QStringLiteral("Sroko.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write(QStringLiteral("[DB]\r\nDBFile=%1\r\n").arg(m_db).toLocal8Bit());
        ini.close();
        m_clock.set(QDateTime(QDate(2024, 3, 15), QTime(14, 5, 9)));
        m_context.programFolder = m_folder.path();
        m_context.dialogs = &m_dialogs;
        m_context.clock = &m_clock;
        m_context.endProgramNow = [this] { ++m_ended; };
        m_dm = std::make_unique<TDM>(DataModuleContext{m_context.programFolder, &m_clock});
        ASSERT_NO_THROW(m_dm->ConnectDatabase());
        ProgramConnection connection;
        connection.openFile = [this] {
            return m_dm->SHCDataBase.isConnected() ? m_dm->SHCDataBase.path() : QString();
        };
        connection.close = [this] {
            ++m_closed;
            m_dm->IBTransaction.rollback();
            m_dm->SHCDataBase.detach();
        };
        connection.reopen = [this] {
            if (m_failReconnect)
                return false;
            try {
                m_dm->ConnectDatabase();
                return true;
            } catch (const fb::Error&) {
                return false;
            }
        };
        m_form = std::make_unique<TBaseServicesForm>(*m_dm, m_context, connection);
        m_form->show();
    }
    void TearDown() override {
        m_form.reset();
        m_dm.reset();
    }
    void chooseIn(const char* dialog, const QString& file) {
        m_dialogs.onExec(QLatin1String(dialog), [file](QDialog& d) {
            static_cast<QFileDialog&>(d).selectFile(file);
            return int(QDialog::Accepted);
        });
    }
    QString backupNow() {
        m_dialogs.answer(MsgResult::Yes);
        m_form->btBackupNowClick();
        return m_folder.filePath(QStringLiteral("Base/2024_03_15-14_05_09_m.FBK"));
    }

    QTemporaryDir m_folder;
    QString m_db;
    FixedClock m_clock;
    ScriptedDialogs m_dialogs;
    AppContext m_context;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TBaseServicesForm> m_form;
    int m_closed = 0;
    int m_ended = 0;
    bool m_failReconnect = false;
};

} // namespace

TEST_F(ServiceWindow, OpensWithItsTabsPathAndVersion) {
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Сервис базы данных"));
    ASSERT_EQ(m_form->PageControl->count(), 4);
    const QStringList tabs = {QStringLiteral("Архивирование"), QStringLiteral("Восстановление"),
                              QStringLiteral("Ремонт"), QStringLiteral("Выполнение скрипта")};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m_form->PageControl->tabText(i), tabs.at(i));
    EXPECT_EQ(m_form->Label_DBPatch->text(), m_db);
    EXPECT_TRUE(m_form->Label_DBVersion->text().startsWith(
        QStringLiteral("Текущая версия базы данных : ")));
    EXPECT_FALSE(m_form->Label_DBVersion->text().endsWith(QStringLiteral("ошибка определения")));
    EXPECT_EQ(m_form->btBackupNow->toolTip(), QStringLiteral("Архивировать БД вручную"));
    EXPECT_EQ(m_form->btRestore->text(), QStringLiteral("Восстан."));
    EXPECT_EQ(m_form->mmBackupLog->palette().color(QPalette::Text), QColor(10, 57, 92));
    EXPECT_EQ(m_form->mmSqlLog->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST_F(ServiceWindow, BackupAsksThenLogsTheFileMade) {
    m_dialogs.answer(MsgResult::No);
    m_form->btBackupNowClick();
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Начать архивацию базы данных прямо сейчас?"));
    EXPECT_EQ(m_dialogs.lastMessage().defaultButton, MsgResult::No);
    EXPECT_TRUE(m_form->mmBackupLog->toPlainText().isEmpty());
    const QString file = backupNow();
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(lines(m_form->mmBackupLog).contains(QStringLiteral("создан архив: ") + file));
    EXPECT_TRUE(m_form->PageControl->isEnabled());
}

TEST_F(ServiceWindow, RestoreOverTheCurrentDatabaseReconnects) {
    const QString backup = backupNow();
    chooseIn("OpenDialogGBK", backup);
    m_form->fnGBKButtonClick();
    EXPECT_EQ(m_form->fnGBK->text(), backup);
    const QString target = m_folder.filePath(QStringLiteral("Base/2024_03_15-14_05_09_m.FDB"));
    EXPECT_EQ(m_form->fnGDB->text(), target);
    m_form->fnGDB->setText(m_db);
    m_dialogs.clear();
    m_dialogs.answer({MsgResult::Yes, MsgResult::Yes});
    m_form->btRestoreClick();
    const QStringList texts = m_dialogs.texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts.at(0).startsWith(QStringLiteral("ВНИМАНИЕ: при этой операции")));
    EXPECT_TRUE(texts.at(1).startsWith(QStringLiteral("Вы пытаетесь восстановить базу данных")));
    EXPECT_EQ(m_closed, 1);
    EXPECT_TRUE(m_dm->SHCDataBase.isConnected());
    const QStringList log = lines(m_form->mmRestoreLog);
    EXPECT_TRUE(log.contains(QStringLiteral("Подключение к базе данных... OK.")))
        << m_form->mmRestoreLog->toPlainText().toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("создан файл базы данных: ") + m_db));
}

TEST_F(ServiceWindow, RestoreWithoutABackupFileOrTargetSaysSo) {
    m_form->fnGBK->setText(m_folder.filePath(QStringLiteral("nowhere/x.fbk")));
    m_form->btRestoreClick();
    EXPECT_EQ(m_dialogs.lastMessage().text, QStringLiteral("Не указан файл архива базы данных."));
    const QString backup = backupNow();
    m_form->fnGBK->setText(backup);
    m_form->fnGDB->clear();
    m_form->btRestoreClick();
    EXPECT_EQ(m_dialogs.lastMessage().text, QStringLiteral("Не указан файл базы данных."));
}

TEST_F(ServiceWindow, AFailedReconnectEndsTheProgram) {
    const QString backup = backupNow();
    m_form->fnGBK->setText(backup);
    m_form->fnGDB->setText(m_db);
    m_failReconnect = true;
    m_dialogs.answer({MsgResult::Yes, MsgResult::Yes});
    m_form->btRestoreClick();
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Аварийное закрытие программы"));
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Ошибка при подключении к базе данных, программа будет закрыта."));
    EXPECT_EQ(m_ended, 1);
}

TEST_F(ServiceWindow, RepairEndsWithTheRestartBox) {
    m_dialogs.answer(MsgResult::Yes);
    m_form->btRepairClick();
    EXPECT_EQ(lines(m_form->mmRepairLog).last(),
              QStringLiteral("---- Ремонт удачно завершен ----"));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Необходим перезапуск..."));
    EXPECT_TRUE(m_dm->SHCDataBase.isConnected());
    EXPECT_EQ(QDir(m_folder.filePath(QStringLiteral("Base"))).entryList(QDir::Files),
              QStringList({QStringLiteral("Sroko.fdb")}));
}

TEST_F(ServiceWindow, ScriptShowsItsTextThenStopsAtTheFailingStatement) {
    const QString script = m_folder.filePath(QStringLiteral("update.sql"));
    QFile file(script);
    file.open(QIODevice::WriteOnly);
    file.write("CREATE TABLE T_ONE (ID INTEGER);\nINSERT INTO T_MISSING VALUES (1);\n"
               "CREATE TABLE T_TWO (ID INTEGER);\n");
    file.close();
    chooseIn("OpenDialogSQL", script);
    m_form->fnSQLButtonClick();
    EXPECT_TRUE(m_form->mmSqlLog->toPlainText().startsWith(QStringLiteral("CREATE TABLE T_ONE")));
    m_dialogs.answer({MsgResult::Yes, MsgResult::Yes});
    m_form->btRunSQLClick();
    const QStringList log = lines(m_form->mmSqlLog);
    EXPECT_EQ(log.first(), QStringLiteral("Выполнение скрипта..."));
    EXPECT_EQ(log.last(), QStringLiteral("Скрипт выполнен некорректно."));
    EXPECT_TRUE(m_form->mmSqlLog->toPlainText().contains(QStringLiteral("T_MISSING")));
    auto relations = [this](const char* name) {
        fb::Transaction t(m_dm->SHCDataBase);
        fb::Statement s(t, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE "
                                          "RDB$RELATION_NAME = '%1'")
                               .arg(QLatin1String(name)));
        s.open();
        s.fetch();
        return s.value(0).toInt();
    };
    EXPECT_EQ(relations("T_ONE"), 1);
    EXPECT_EQ(relations("T_TWO"), 0);
}

TEST_F(ServiceWindow, ScriptFilesThatCannotRunAndTheMissingVersionRow) {
    m_form->fnSQL->setText(m_folder.filePath(QStringLiteral("none.sql")));
    m_form->btRunSQLClick();
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Не могу открыть файл скрипта для базы данных (*.sql)."));
    const QString empty = m_folder.filePath(QStringLiteral("empty.sql"));
    QFile(empty).open(QIODevice::WriteOnly);
    m_form->fnSQL->setText(empty);
    {
        fb::Transaction t(m_dm->SHCDataBase);
        m_dm->SHCDataBase.executeImmediate(
            t, QStringLiteral("DELETE FROM USERS_SETTINGS WHERE USERS_ID = 2"));
        t.commit();
    }
    m_dialogs.answer(MsgResult::Yes);
    m_form->btRunSQLClick();
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Скрипт действий для базы данных пустой."));
    EXPECT_EQ(m_form->Label_DBVersion->text(),
              QStringLiteral("Текущая версия базы данных : ошибка определения"));
}

TEST_F(ServiceWindow, ClosingAsksOnce) {
    m_dialogs.answer(MsgResult::No);
    m_form->close();
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Сервис базы"));
    EXPECT_EQ(m_dialogs.lastMessage().defaultButton, MsgResult::No);
    m_dialogs.answer(MsgResult::Yes);
    m_form->close();
    EXPECT_FALSE(m_form->isVisible());
    m_dialogs.clear();
    m_form->show();
    m_form->close();
    EXPECT_TRUE(m_dialogs.shown().isEmpty());
}

// Pictures of each tab after a run, for a look by eye: SROKO_SCREENSHOT_DIR names the folder.
TEST_F(ServiceWindow, PicturesOfTheTabsAfterARun) {
    const QString folder = qEnvironmentVariable("SROKO_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "SROKO_SCREENSHOT_DIR not set";
    const QString backup = backupNow();
    backupNow();
    m_form->fnGBK->setText(backup);
    m_form->fnGDB->setText(m_db);
    m_dialogs.answer({MsgResult::Yes, MsgResult::Yes});
    m_form->btRestoreClick();
    m_dialogs.answer({MsgResult::Yes, MsgResult::Ok});
    m_form->btRepairClick();
    const QString script = m_folder.filePath(QStringLiteral("update.sql"));
    QFile file(script);
    file.open(QIODevice::WriteOnly);
    file.write("CREATE TABLE T_ONE (ID INTEGER);\nINSERT INTO T_MISSING VALUES (1);\n");
    file.close();
    m_form->fnSQL->setText(script);
    m_dialogs.answer({MsgResult::Yes, MsgResult::Yes});
    m_form->btRunSQLClick();
    QDir().mkpath(folder);
    for (int i = 0; i < m_form->PageControl->count(); ++i) {
        m_form->PageControl->setCurrentIndex(i);
        QApplication::processEvents();
        EXPECT_TRUE(
            m_form->grab().save(QDir(folder).filePath(QStringLiteral("service_tab%1.png").arg(i))));
    }
}

TEST_F(ServiceWindow, HelpAndTheScriptHint) {
    QDir(m_folder.path()).mkpath(QStringLiteral("Help"));
    QFile page(m_folder.filePath(QStringLiteral("Help/BaseService.htm")));
    page.open(QIODevice::WriteOnly);
    page.write("<html><body>Сервис</body></html>");
    page.close();
    m_form->Btn_HelpClick();
    EXPECT_EQ(m_dialogs.modeless(), QStringList({QStringLiteral("HelpViewer")}));
    m_form->Label_ScriptHelpClick();
    BalloonHint* balloon = BalloonHint::forWindow(m_form.get());
    EXPECT_EQ(balloon->header(), QStringLiteral("После обновления \"Сроковеда\""));
    EXPECT_TRUE(balloon->text().startsWith(QStringLiteral(
        "После обновления базы данных скриптами - обязательно выполните ее ремонт.")));
    EXPECT_EQ(balloon->timeout(), 28000);
    EXPECT_EQ(balloon->anchor(), m_form->Label_ScriptHelp);
}
