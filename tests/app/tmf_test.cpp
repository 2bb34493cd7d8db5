#include "app/single_instance.h"
#include "app/tmf.h"
#include "books/assignments_panel.h"
#include "books/organizations_panel.h"
#include "core/clock.h"
#include "core/db_settings.h"
#include "core/ini_file.h"
#include "data/tdm.h"
#include "fb/attachment.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "fb/transaction.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"
#include "tracking/schedule_tab.h"
#include "widgets/data_grid.h"
#include "widgets/spin_edit.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A program folder with its database, a fixed clock and scripted dialogs.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(m_dir.path()).mkpath(QStringLiteral("Base"));
        m_clock.set(QDateTime(QDate(2025, 3, 10), QTime(9, 0)));
    }
    void createDatabase() { TestDatabase::createAt(databasePath(), true); }
    QString databasePath() const { return m_dir.filePath(QStringLiteral("Base/Sroko.fdb")); }
    QString iniPath() const { return m_dir.filePath(QStringLiteral("Sroko.ini")); }
    AppContext context() {
        return AppContext{m_dir.path(), &m_dialogs, &m_clock, [this] { ++m_endedNow; }};
    }
    std::unique_ptr<TMF> makeWindow(TMFServices services = {}) {
        if (!services.openUrl)
            services.openUrl = [this](const QUrl& url) { m_opened << url; };
        if (!services.startProgram)
            services.startProgram = [this](const QString& program, const QString&) {
                m_started << program;
                return true;
            };
        return std::make_unique<TMF>(context(), services);
    }
    // Closes the window answering the close question with Yes.
    void closeWithYes(TMF& window) {
        m_dialogs.answer(MsgResult::Yes);
        window.close();
    }

    QTemporaryDir m_dir;
    FixedClock m_clock;
    ScriptedDialogs m_dialogs;
    QList<QUrl> m_opened;
    QStringList m_started;
    int m_endedNow = 0;
};

} // namespace

TEST_F(MainWindowTest, StartsAgainstARealDatabaseAndShowsItsLists) {
    createDatabase();
    auto window = makeWindow();
    QStringList steps;
    QObject::connect(window.get(), &TMF::startupStep, [&](const QString& s) { steps << s; });
    ASSERT_TRUE(window->FormCreate());
    EXPECT_EQ(steps, (QStringList{QStringLiteral("Инициализация памяти..."),
                                  QStringLiteral("Подключение к базе данных..."),
                                  QStringLiteral("Восстановление параметров интерфейса..."),
                                  QStringLiteral("Все модули успешно загружены")}));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join('|').toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Сроковед"));
    EXPECT_EQ(window->SB_Main[0]->text(), QStringLiteral("Пользователь :"));
    EXPECT_EQ(window->SB_Main[1]->text(), QStringLiteral("База данных: ") + databasePath());
    EXPECT_GE(window->organizations->qOrgan->rowCount(), 3);
    EXPECT_EQ(window->PC_Main->count(), 3);
    EXPECT_EQ(window->PC_Main->tabText(0), QStringLiteral("Организации и назначенные им отчёты"));
    EXPECT_EQ(window->PC_Main->tabText(1), QStringLiteral("Расписание сдачи"));
    EXPECT_EQ(window->PC_Main->tabText(2), QStringLiteral("Справка"));
    // The assignments follow the current organisation.
    fb::Dataset* orgs = window->organizations->qOrgan;
    fb::Dataset* reps = window->assignments->qBuhAccRep;
    for (int row = 0; row < orgs->rowCount(); ++row) {
        orgs->setCurrentRow(row);
        for (int r = 0; r < reps->rowCount(); ++r)
            EXPECT_EQ(reps->value(r, QStringLiteral("ORGANIZATION_ID")),
                      orgs->fieldValue(QStringLiteral("ID")));
    }
}

TEST_F(MainWindowTest, FailuresBeforeTheWindowIsShownEndTheProgram) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        TMFServices services;
        QStringList captions;
    };
    QFile junk(databasePath());
    const QString connectCaption = QStringLiteral("Подключение к локальной БД без Firebird");
    std::vector<Case> cases;
    cases.push_back({"missing database file",
                     [] {},
                     {},
                     {QStringLiteral("Ошибка подключения"), connectCaption}});
    cases.push_back({"not a database",
                     [&] {
                         junk.open(QIODevice::WriteOnly);
                         junk.write(QByteArray(65536, 'z'));
                         junk.close();
                     },
                     {},
                     {QStringLiteral("Ошибка подключения"), connectCaption}});
    TMFServices failing;
    failing.createDataModule = [](const AppContext&) -> std::unique_ptr<TDM> {
        throw std::runtime_error("no engine");
    };
    cases.push_back({"data module fails", [] {}, failing, {QStringLiteral("Сроковед")}});
    for (Case& c : cases) {
        m_dialogs.clear();
        c.prepare();
        auto window = makeWindow(c.services);
        EXPECT_FALSE(window->FormCreate()) << c.name;
        QStringList captions;
        for (const MessageRequest& m : m_dialogs.messages())
            captions << m.caption;
        EXPECT_EQ(captions, c.captions) << c.name;
        EXPECT_FALSE(window->isVisible()) << c.name;
        if (captions.size() == 2)
            EXPECT_EQ(
                m_dialogs.lastMessage().text,
                QStringLiteral(
                    "Программе не удается подключиться к базе данных по следующему пути - %1.")
                    .arg(databasePath()))
                << c.name;
    }
}

TEST_F(MainWindowTest, UnreadableSettingsFileStillGivesAUsableWindow) {
    createDatabase();
    QDir(m_dir.path()).mkpath(QStringLiteral("Sroko.ini")); // a folder where the file should be
    auto window = makeWindow();
    ASSERT_TRUE(window->FormCreate());
    ASSERT_EQ(m_dialogs.messages().size(), 1) << m_dialogs.texts().join('|').toStdString();
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Ошибка чтения или восстановления параметров."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("ini-файл"));
    EXPECT_EQ(window->size(), QSize(1008, 824));
    EXPECT_GE(window->organizations->qOrgan->rowCount(), 3);
}

TEST_F(MainWindowTest, CloseAsksFirstAndNoKeepsTheWindow) {
    createDatabase();
    auto window = makeWindow();
    ASSERT_TRUE(window->FormCreate());
    window->show();
    m_dialogs.answer(MsgResult::No);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    const MessageRequest question = m_dialogs.lastMessage();
    EXPECT_EQ(question.text, QStringLiteral("Вы действительно хотите завершить программу?"));
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.defaultButton, MsgResult::No);
    EXPECT_EQ(question.icon, MsgIcon::Question);
    EXPECT_FALSE(QFile::exists(iniPath()));
    closeWithYes(*window);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(IniFile(iniPath()).hasSection(QStringLiteral("MAIN_WINDOW")));
}

TEST_F(MainWindowTest, UpdateReminderBoundaries) {
    createDatabase();
    struct Case {
        const char* lastUpdate; // nullptr: no key
        bool shown;
        MsgResult answer;
    } cases[] = {
        {nullptr, false, MsgResult::Ok},      {"", false, MsgResult::Ok},
        {"09.02.2025", false, MsgResult::Ok}, // 29 days before 10.03.2025 is 09.02
        {"10.02.2025", false, MsgResult::Ok}, // 28 days
        {"09.02.2025", true, MsgResult::No},  {"01.01.2020", true, MsgResult::Yes},
        {"not a date", false, MsgResult::Ok},
    };
    // The first "09.02.2025" row stands for a run on a day that makes it 28 days.
    int index = 0;
    for (const Case& c : cases) {
        QFile::remove(iniPath());
        m_dialogs.clear();
        m_opened.clear();
        m_clock.set(QDateTime(index == 2 ? QDate(2025, 3, 9) : QDate(2025, 3, 10), QTime(9, 0)));
        if (c.lastUpdate)
            IniFile(iniPath()).writeString(QStringLiteral("DB"), QStringLiteral("LastUpdate"),
                                           QString::fromUtf8(c.lastUpdate));
        if (c.shown)
            m_dialogs.answer(c.answer);
        auto window = makeWindow();
        ASSERT_TRUE(window->FormCreate());
        EXPECT_EQ(m_dialogs.messages().size(), c.shown ? 1 : 0) << index;
        const QString stored =
            IniFile(iniPath()).readString(QStringLiteral("DB"), QStringLiteral("LastUpdate"));
        if (c.shown) {
            EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Обновление \"Сроковед\""));
            EXPECT_EQ(m_dialogs.lastMessage().defaultButton, MsgResult::No);
            EXPECT_EQ(stored, QStringLiteral("10.03.2025")) << index;
            EXPECT_EQ(m_opened.size(), c.answer == MsgResult::Yes ? 1 : 0) << index;
        } else {
            EXPECT_EQ(stored, c.lastUpdate ? QString::fromUtf8(c.lastUpdate) : QString()) << index;
        }
        ++index;
    }
}

TEST_F(MainWindowTest, WindowStateSurvivesARestartTogetherWithTheReminderDate) {
    createDatabase();
    IniFile(iniPath()).writeString(QStringLiteral("DB"), QStringLiteral("LastUpdate"),
                                   QStringLiteral("01.01.2025"));
    {
        auto window = makeWindow();
        m_dialogs.answer(MsgResult::No); // the reminder
        ASSERT_TRUE(window->FormCreate());
        window->show();
        window->schedule->DBGrid_BuhHistory->setColumnVisible(QStringLiteral("USERS_SDAL_NAME"),
                                                              false);
        window->schedule->CB_BuhMonth_Begin->setCurrentIndex(3);
        window->schedule->CB_BuhMonth_End->setCurrentIndex(5);
        window->schedule->SE_BuhYear_Begin->setValue(2024);
        window->schedule->SE_BuhYear_End->setValue(2026);
        window->resize(1100, 850);
        closeWithYes(*window);
    }
    EXPECT_EQ(IniFile(iniPath()).readString(QStringLiteral("DB"), QStringLiteral("LastUpdate")),
              QStringLiteral("10.03.2025"));
    m_dialogs.clear();
    auto window = makeWindow();
    ASSERT_TRUE(window->FormCreate());
    window->show();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join('|').toStdString();
    EXPECT_FALSE(
        window->schedule->DBGrid_BuhHistory->isColumnVisible(QStringLiteral("USERS_SDAL_NAME")));
    EXPECT_TRUE(window->schedule->DBGrid_BuhHistory->isColumnVisible(QStringLiteral("DT_ACTION")));
    EXPECT_EQ(window->schedule->CB_BuhMonth_Begin->currentIndex(), 3);
    EXPECT_EQ(window->schedule->CB_BuhMonth_End->currentIndex(), 5);
    EXPECT_EQ(window->schedule->SE_BuhYear_Begin->value(), 2024);
    EXPECT_EQ(window->schedule->SE_BuhYear_End->value(), 2026);
    EXPECT_EQ(window->size(), QSize(1100, 850));
    closeWithYes(*window);
}

TEST_F(MainWindowTest, ReconnectCommandClearsTheDbKeysAndEndsWithoutSavingState) {
    createDatabase();
    IniFile ini(iniPath());
    ini.writeString(QStringLiteral("DB"), QStringLiteral("DBFile"), QStringLiteral("D:\\base.fdb"));
    ini.writeString(QStringLiteral("DB"), QStringLiteral("ServerName"), QStringLiteral("srv"));
    ini.writeString(QStringLiteral("DB"), QStringLiteral("LastUpdate"),
                    QStringLiteral("09.03.2025"));
    bool released = false;
    TMFServices services;
    services.releaseInstanceLock = [&] { released = true; };
    auto window = makeWindow(services);
    ASSERT_TRUE(window->FormCreate());
    m_dialogs.answer(MsgResult::No);
    window->MM_NewDBClick();
    EXPECT_EQ(ini.readString(QStringLiteral("DB"), QStringLiteral("DBFile")),
              QStringLiteral("D:\\base.fdb"));
    EXPECT_EQ(m_dialogs.lastMessage().defaultButton, MsgResult::No);
    m_dialogs.answer(MsgResult::Yes);
    window->MM_NewDBClick();
    EXPECT_EQ(ini.readString(QStringLiteral("DB"), QStringLiteral("DBFile"), QStringLiteral("x")),
              QString());
    EXPECT_EQ(
        ini.readString(QStringLiteral("DB"), QStringLiteral("ServerName"), QStringLiteral("x")),
        QString());
    EXPECT_EQ(ini.readString(QStringLiteral("DB"), QStringLiteral("Protocol")),
              QStringLiteral("0"));
    EXPECT_EQ(ini.readString(QStringLiteral("DB"), QStringLiteral("Server")), QStringLiteral("0"));
    EXPECT_TRUE(ini.hasKey(QStringLiteral("DB"), QStringLiteral("Password")));
    EXPECT_EQ(ini.readString(QStringLiteral("DB"), QStringLiteral("LastUpdate")),
              QStringLiteral("09.03.2025"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Сроковед "));
    EXPECT_TRUE(released);
    ASSERT_EQ(m_started.size(), 1);
    EXPECT_EQ(m_started.first(), m_dir.filePath(QStringLiteral("Import_Norvane")));
    EXPECT_EQ(m_endedNow, 1);
    // Ending at once: no close question, no window state.
    const int shown = static_cast<int>(m_dialogs.messages().size());
    window->close();
    EXPECT_EQ(m_dialogs.messages().size(), shown);
    EXPECT_FALSE(ini.hasSection(QStringLiteral("MAIN_WINDOW")));
}

TEST_F(MainWindowTest, HiddenShortcutsWork) {
    createDatabase();
    auto window = makeWindow();
    ASSERT_TRUE(window->FormCreate());
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    m_dialogs.answer(MsgResult::No);
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(m_dialogs.lastMessage().text.startsWith(
        QStringLiteral("Для подключения к другой базе данных")));
    m_dialogs.clear();
    QTest::keyClick(window.get(), Qt::Key_F1);
    // The help pages are not in this test's program folder: the viewer says which file it missed.
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.lastMessage().text.contains(QStringLiteral("Main.htm")));
    closeWithYes(*window);
}

TEST(SingleInstance, ASecondStartIsRefusedUntilTheLockIsReleased) {
    const QString title =
        QStringLiteral("Сроковед-тест-%1").arg(QCoreApplication::applicationPid());
    SingleInstanceLock first;
    ASSERT_TRUE(first.tryAcquire(title));
    SingleInstanceLock second;
    EXPECT_FALSE(second.tryAcquire(title));
    EXPECT_TRUE(second.tryAcquire(title + QLatin1Char(' '))) << "a changed title is another lock";
    first.release();
    SingleInstanceLock third;
    EXPECT_TRUE(third.tryAcquire(title));
}

// Each tab lays out its main list or text on the screen. Pictures of the main window for a
// person to look at are saved when SROKO_SCREENSHOT_DIR is set.
TEST_F(MainWindowTest, EachTabLaysOutItsContent) {
    createDatabase();
    auto window = makeWindow();
    ASSERT_TRUE(window->FormCreate());
    window->resize(1008, 824);
    window->show();
    const QString folder = qEnvironmentVariable("SROKO_SCREENSHOT_DIR");
    const QList<QWidget*> content{
        window->organizations->DBGrid_Organs, window->schedule->DBGrid_BuhHistory,
        window->TS_Help->findChild<QWidget*>(QStringLiteral("Label_Help_1"))};
    ASSERT_EQ(content.size(), window->PC_Main->count());
    for (int tab = 0; tab < window->PC_Main->count(); ++tab) {
        SCOPED_TRACE(tab);
        window->PC_Main->setCurrentIndex(tab);
        QApplication::processEvents();
        ASSERT_NE(content[tab], nullptr);
        EXPECT_TRUE(content[tab]->isVisible());
        EXPECT_GT(content[tab]->width(), 300);
        EXPECT_GT(content[tab]->height(), 10);
        const QImage picture = content[tab]->grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 4)
            for (int x = 0; x < picture.width(); x += 4)
                colours.insert(picture.pixel(x, y));
        EXPECT_GT(colours.size(), 2) << "a blank area";
        if (!folder.isEmpty())
            window->grab().save(QDir(folder).filePath(QStringLiteral("main_tab%1.png").arg(tab)));
    }
    closeWithYes(*window);
}

// Stored pane sizes of a tab are applied once that tab is laid out on the screen, and a tab
// that was never shown keeps what was stored.
TEST_F(MainWindowTest, PaneSizesWaitForTheirTabAndSurviveARunThatNeverShowsIt) {
    createDatabase();
    {
        IniFile ini(iniPath());
        ini.writeInteger(QStringLiteral("MAIN_WINDOW"),
                         QStringLiteral("Prop.Panel_ReportBottom.Height"), 210);
        ini.writeInteger(QStringLiteral("MAIN_WINDOW"), QStringLiteral("Prop.Panel_Podrobno.Width"),
                         330);
        ini.writeInteger(QStringLiteral("MAIN_WINDOW"),
                         QStringLiteral("Prop.Panel_Organizations.Height"), 300);
    }
    const auto stored = [&](const char* key) {
        return IniFile(iniPath()).readInteger(QStringLiteral("MAIN_WINDOW"),
                                              QStringLiteral("Prop.") + QLatin1String(key), -1);
    };
    {
        auto window = makeWindow();
        ASSERT_TRUE(window->FormCreate());
        window->show();
        QApplication::processEvents();
        EXPECT_EQ(window->orgSplitter->sizes().at(0), 300);
        closeWithYes(*window);
    }
    EXPECT_EQ(stored("Panel_ReportBottom.Height"), 210) << "never laid out, kept";
    EXPECT_EQ(stored("Panel_Podrobno.Width"), 330);
    EXPECT_EQ(stored("Panel_Organizations.Height"), 300);

    auto window = makeWindow();
    ASSERT_TRUE(window->FormCreate());
    window->resize(1400, 900);
    window->show();
    window->PC_Main->setCurrentWidget(window->TS_BuhShedule);
    QApplication::processEvents();
    EXPECT_EQ(window->schedule->bottomSplitter->sizes().at(1), 210);
    EXPECT_EQ(window->schedule->detailSplitter->sizes().at(0), 330);
    window->schedule->bottomSplitter->setSizes({400, 150});
    closeWithYes(*window);
    EXPECT_EQ(stored("Panel_ReportBottom.Height"), 150);
}

// A lost connection closes every window's lists, lets go of the connection and ends the
// program; the close sequence writes nothing afterwards.
TEST_F(MainWindowTest, ALostConnectionClosesEverythingAndSavesNoState) {
    createDatabase();
    auto window = makeWindow();
    ASSERT_TRUE(window->FormCreate());
    window->show();
    const QByteArray settingsBefore = [&] {
        QFile f(iniPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    {
        fb::Attachment killer;
        killer.attach(databasePath(),
                      {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=x")});
        fb::Transaction tr(killer);
        killer.executeImmediate(
            tr, QStringLiteral(
                    "DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION"));
        tr.commit();
    }
    try {
        window->organizations->qOrgan->refresh();
        ADD_FAILURE() << "read a list over a dropped connection";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.isConnectionLost()) << e.message().toStdString();
    }
    EXPECT_EQ(m_endedNow, 1);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Программа будет закрыта, так как потеряна связь с базой данных."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Ошибка InterBase"));
    EXPECT_FALSE(window->organizations->qOrgan->isOpen());
    EXPECT_FALSE(window->assignments->qBuhAccRep->isOpen());
    EXPECT_FALSE(window->dataModule()->SHCDataBase.isConnected());
    window->close();
    QFile after(iniPath());
    after.open(QIODevice::ReadOnly);
    EXPECT_EQ(after.readAll(), settingsBefore) << "nothing written after the loss";
}

// At a system shutdown the window closes without its question and keeps its state.
TEST_F(MainWindowTest, AShutdownClosesWithoutTheQuestionAndSavesTheState) {
    createDatabase();
    auto window = makeWindow();
    ASSERT_TRUE(window->FormCreate());
    window->show();
    window->resize(1111, 777);
    window->closeForShutdown();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join('|').toStdString();
    EXPECT_EQ(
        IniFile(iniPath()).readInteger(QStringLiteral("MAIN_WINDOW"), QStringLiteral("Width"), -1),
        1111);
    EXPECT_FALSE(window->dataModule()->SHCDataBase.isConnected());
    EXPECT_FALSE(window->organizations->qOrgan->isOpen());
}

// A fault of the program while the lists open is shown and ends the start-up cleanly.
TEST_F(MainWindowTest, AFaultWhileTheListsOpenIsShownAndEndsTheStartUp) {
    createDatabase();
    auto window = makeWindow();
    QObject::connect(window.get(), &TMF::startupStep, [&](const QString& step) {
        if (step != QStringLiteral("Все модули успешно загружены"))
            return;
        QObject::connect(window->organizations->qOrgan, &fb::Dataset::afterScroll,
                         [] { throw std::runtime_error("сбой программы"); });
    });
    EXPECT_FALSE(window->FormCreate());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text, QStringLiteral("сбой программы"));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Ошибка"));
    EXPECT_FALSE(window->dataModule()->SHCDataBase.isConnected());
}
