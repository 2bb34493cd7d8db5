#include "app/tmf.h"
#include "books/assignments_panel.h"
#include "books/buh_account_form.h"
#include "books/buh_holidays_form.h"
#include "books/organizations_panel.h"
#include "core/clock.h"
#include "core/ini_file.h"
#include "fb/dataset.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The main window over a program folder holding the demo database.
class MainMenuBooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(m_dir.path()).mkpath(QStringLiteral("Base"));
        TestDatabase::createAt(m_dir.filePath(QStringLiteral("Base/Sroko.fdb")), true);
        TMFServices services;
        services.openUrl = [](const QUrl&) {};
        services.startProgram = [](const QString&, const QString&) { return true; };
        m_window =
            std::make_unique<TMF>(AppContext{m_dir.path(), &m_dialogs, &m_clock, [] {}}, services);
        ASSERT_TRUE(m_window->FormCreate());
        m_dialogs.clear();
    }
    void TearDown() override { m_window.reset(); }

    IniFile ini() const { return IniFile(m_dir.filePath(QStringLiteral("Sroko.ini"))); }

    QTemporaryDir m_dir;
    FixedClock m_clock{QDateTime::currentDateTime()};
    ScriptedDialogs m_dialogs;
    std::unique_ptr<TMF> m_window;
};

} // namespace

TEST_F(MainMenuBooksTest, TheReportsDirectoryOpensForManagingAndKeepsItsState) {
    bool opened = false;
    m_dialogs.onExec(QStringLiteral("TBuhAccountForm"), [&](QDialog& dialog) {
        auto& form = static_cast<TBuhAccountForm&>(dialog);
        opened = true;
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Бухгалтерская отчётность"));
        EXPECT_TRUE(form.Btn_OK->isHidden());
        EXPECT_FALSE(form.RBtn_Any->isEnabled());
        EXPECT_FALSE(form.RBtn_None->isEnabled());
        EXPECT_GT(form.qBuhAccount->rowCount(), 0);
        // The demo data has organisations: the schedule can be made from here.
        EXPECT_TRUE(form.TBtn_CreateHistory->isEnabled());
        EXPECT_EQ(form.parentWidget(), m_window.get());
        form.resize(910, 610);
        form.reject();
        return form.result();
    });
    m_window->MM_HB_BuhReports->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(ini().readInteger(QStringLiteral("BUH_ACCOUNT"), QStringLiteral("Width"), 0), 910);
    EXPECT_TRUE(m_dialogs.shown().isEmpty());
}

TEST_F(MainMenuBooksTest, TheHolidaysDirectoryOpensWithTheCorrectionAvailable) {
    bool opened = false;
    m_dialogs.onExec(QStringLiteral("TBuhHolidaysForm"), [&](QDialog& dialog) {
        auto& form = static_cast<TBuhHolidaysForm&>(dialog);
        opened = true;
        EXPECT_GT(form.qBuhHolidays->rowCount(), 0);
        EXPECT_TRUE(form.TBtn_CorrectHistory->isEnabled());
        form.reject();
        return form.result();
    });
    m_window->MM_HB_BuhHolidays->trigger();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(ini().hasSection(QStringLiteral("BUH_HOLIDAYS")));
}

TEST_F(MainMenuBooksTest, TheAssignmentsTabGeneratesThroughTheWindowsEngine) {
    fb::Dataset* assignments = m_window->assignments->qBuhAccRep;
    int organisation = 0;
    for (int row = 0; row < m_window->organizations->qOrgan->rowCount() && !organisation; ++row) {
        m_window->organizations->qOrgan->setCurrentRow(row);
        if (assignments->rowCount() > 0)
            organisation =
                m_window->organizations->qOrgan->fieldValue(QStringLiteral("ID")).toInt();
    }
    ASSERT_NE(organisation, 0) << "the demo data assigns reports";
    m_dialogs.answer(MsgResult::Yes);
    m_window->assignments->PM_BuhAcc_OnAll->trigger();
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Операция по созданию расписания завершена."));
    for (int row = 0; row < assignments->rowCount(); ++row)
        EXPECT_EQ(assignments->value(row, QStringLiteral("ON_OFF")).toInt(), 1);
}
