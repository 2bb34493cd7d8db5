#include "core/form_state.h"

#include "core/db_settings.h"
#include "core/ini_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FormStateTest : public ::testing::Test {
protected:
    void writeFile(const QByteArray& content) {
        QFile file(m_ini.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QByteArray fileBytes() const {
        QFile file(m_ini.path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static FormState mainWindowState() {
        FormState state;
        state.windowState = FormState::kMaximized;
        state.size = QSize(1024, 768);
        state.position = QPoint(-8, 20);
        state.properties = {{"Panel_Organizations.Height", 240},
                            {"CB_BuhMonth_Begin.ItemIndex", 0},
                            {"SE_BuhYear_End.Value", 2024}};
        state.grids["DBGrid_Organs"] = {{"NAME", {0, 200}}, {"INN", {1, 90}}};
        state.grids["DBGrid_BuhHistory"] = {{"DT_ACTION", {2, 80}}, {"COMMENTS", {0, -1}}};
        return state;
    }

    QTemporaryDir m_dir;
    IniFile m_ini{m_dir.filePath("Sroko.ini")};
};

TEST_F(FormStateTest, SavedStateLoadsBackWhole) {
    FormStateStorage storage(m_ini, "MAIN_WINDOW\\");
    EXPECT_EQ(storage.section(), "MAIN_WINDOW");
    const FormState state = mainWindowState();
    storage.save(state);
    EXPECT_EQ(storage.load(), state);
    // A new storage over a new IniFile object reads the same from disk.
    IniFile again(m_ini.path());
    EXPECT_EQ(FormStateStorage(again, "MAIN_WINDOW\\").load(), state);
}

TEST_F(FormStateTest, NothingStoredLoadsEmptyState) {
    FormStateStorage storage(m_ini, "BUH_ACCOUNT\\");
    EXPECT_EQ(storage.load(), FormState());
    writeFile("[OTHER]\nWidth=100\nHeight=100\n");
    EXPECT_EQ(storage.load(), FormState());
}

TEST_F(FormStateTest, StorageWithNothingToKeepStillWritesItsSection) {
    FormStateStorage picker(m_ini, "CASH\\");
    picker.save(FormState());
    EXPECT_TRUE(m_ini.hasSection("CASH"));
    EXPECT_EQ(m_ini.keys("CASH"), QStringList{"Version"});
    EXPECT_EQ(picker.load(), FormState());
}

// A restore applies only what it finds: everything else keeps its designed value.
TEST_F(FormStateTest, LoadReturnsOnlyTheValuesFoundAndUsable) {
    writeFile("[BUH_HOLIDAYS]\n"
              "Version=1\n"
              "WindowState=0\n"
              "Width=640\n" // no Height: no size
              "Left=10\n"
              "Top=abc\n" // garbage: no position
              "Prop.Panel_Comments.Height=120\n"
              "Prop.Broken=12px\n"
              "Prop.=5\n"
              "Grid.DBGrid_Holidays.NAME.Position=1\n"
              "Grid.DBGrid_Holidays.NAME.Width=150\n"
              "Grid.DBGrid_Holidays.DAY_MONTH.Position=0\n" // no width: column left out
              "Grid.DBGrid_Holidays.MONTH_YEAR.Position=2\n"
              "Grid.DBGrid_Holidays.MONTH_YEAR.Width=\n"
              "Grid.DBGrid_Holidays.HOLIDAY_WORK.Position=-3\n"
              "Grid.DBGrid_Holidays.HOLIDAY_WORK.Width=40\n"
              "Grid.DBGrid_Holidays.ID.Position=3\n"
              "Grid.DBGrid_Holidays.ID.Width=-2\n"
              "Grid.NoField.Width=10\n"
              "Unknown=1\n");
    const FormState state = FormStateStorage(m_ini, "BUH_HOLIDAYS\\").load();
    EXPECT_EQ(state.windowState, FormState::kNormal);
    EXPECT_EQ(state.size, std::nullopt);
    EXPECT_EQ(state.position, std::nullopt);
    EXPECT_EQ(state.properties, (QMap<QString, int>{{"Panel_Comments.Height", 120}}));
    const QMap<QString, ColumnState> columns = {{"NAME", {1, 150}}};
    EXPECT_EQ(state.grids,
              (QMap<QString, QMap<QString, ColumnState>>{{"DBGrid_Holidays", columns}}));
}

TEST_F(FormStateTest, WindowStateAndSizeNeedSensibleValues) {
    struct Case {
        QByteArray lines;
        std::optional<int> windowState;
        std::optional<QSize> size;
        std::optional<QPoint> position;
    };
    const QList<Case> cases = {
        {"WindowState=2\nWidth=800\nHeight=600\nLeft=0\nTop=0\n", 2, QSize(800, 600), QPoint(0, 0)},
        {"WindowState=1\nWidth=0\nHeight=600\n", std::nullopt, std::nullopt, std::nullopt},
        {"WindowState=3\nWidth=800\nHeight=-600\n", std::nullopt, std::nullopt, std::nullopt},
        {"WindowState=x\nLeft=-1920\nTop=-5\n", std::nullopt, std::nullopt, QPoint(-1920, -5)},
        {"windowstate=2\nWIDTH=800\nheight=600\n", 2, QSize(800, 600), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.toStdString());
        writeFile("[W]\n" + c.lines);
        const FormState state = FormStateStorage(m_ini, "W\\").load();
        EXPECT_EQ(state.windowState, c.windowState);
        EXPECT_EQ(state.size, c.size);
        EXPECT_EQ(state.position, c.position);
    }
}

TEST_F(FormStateTest, SaveTouchesOnlyItsOwnSectionInOneReplacement) {
    const QByteArray before = "; kept\n"
                              "[DB]\n"
                              "DBFile=base.fdb\n"
                              "LastUpdate=01.01.2024\n"
                              "[BUH_ACCOUNT]\n"
                              "Width=500\n"
                              "Height=400\n";
    writeFile(before);
    FormStateStorage storage(m_ini, "MAIN_WINDOW\\");
    storage.save(mainWindowState());
    const QByteArray after = fileBytes();
    EXPECT_TRUE(after.startsWith(before)) << after.constData();
    EXPECT_EQ(IniFile(m_ini.path()).sections(), (QStringList{"DB", "BUH_ACCOUNT", "MAIN_WINDOW"}));
}

// The main window's state is read at start-up, the update reminder then writes LastUpdate, and
// the window saves its state at close: both must end up in the file.
TEST_F(FormStateTest, WindowSaveKeepsLastUpdateWrittenAfterRestore) {
    writeFile("[DB]\nLastUpdate=01.01.2024\n[MAIN_WINDOW]\nVersion=1\nWidth=800\nHeight=600\n");
    FormStateStorage storage(m_ini, "MAIN_WINDOW\\");
    FormState state = storage.load();
    ASSERT_EQ(state.size, QSize(800, 600));

    IniFile reminderIni(m_ini.path()); // the reminder opens the file on its own
    writeLastUpdate(reminderIni, QDate(2024, 3, 15));

    state.size = QSize(1280, 1024);
    storage.save(state);

    IniFile check(m_ini.path());
    EXPECT_EQ(readDbSettings(check, QDate(2024, 3, 16)).lastUpdateDate, "15.03.2024");
    EXPECT_EQ(FormStateStorage(check, "MAIN_WINDOW\\").load().size, QSize(1280, 1024));
}

TEST_F(FormStateTest, SaveDropsKeysTheNewStateNoLongerHas) {
    FormStateStorage storage(m_ini, "BUH_ORG_OPERATIONS\\");
    storage.save(mainWindowState());
    FormState smaller;
    smaller.windowState = FormState::kNormal;
    smaller.grids["DBGrid_Organs"] = {{"NAME", {0, -1}}};
    storage.save(smaller);
    EXPECT_EQ(storage.load(), smaller);
    EXPECT_EQ(m_ini.keys("BUH_ORG_OPERATIONS"),
              (QStringList{"Version", "WindowState", "Grid.DBGrid_Organs.NAME.Position",
                           "Grid.DBGrid_Organs.NAME.Width"}));
}

TEST_F(FormStateTest, FailedSaveLeavesThePreviousState) {
    FormStateStorage storage(m_ini, "MAIN_WINDOW\\");
    storage.save(mainWindowState());
    const QByteArray saved = fileBytes();

    FormState bad = mainWindowState();
    bad.properties.insert(QStringLiteral("Panel_😀.Width"), 10); // not in the code page
    EXPECT_THROW(storage.save(bad), IniError);
    FormState badGrid = mainWindowState();
    badGrid.grids["Grid.With.Dots"] = {{"NAME", {0, 10}}};
    EXPECT_THROW(storage.save(badGrid), std::invalid_argument);

    EXPECT_EQ(fileBytes(), saved);
    EXPECT_FALSE(m_ini.inBatch());
    EXPECT_EQ(storage.load(), mainWindowState());
}

TEST_F(FormStateTest, PathMustNameASection) {
    EXPECT_THROW(FormStateStorage(m_ini, "\\"), std::invalid_argument);
    EXPECT_THROW(FormStateStorage(m_ini, ""), std::invalid_argument);
    EXPECT_EQ(FormStateStorage(m_ini, "CASH").section(), "CASH");
}

} // namespace
