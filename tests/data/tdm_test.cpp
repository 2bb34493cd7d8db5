#include "data/clock.h"
#include "data/ini_file.h"
#include "data/tdm.h"
#include "fb/statement.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A program folder with Base/Sroko.fdb, as the program finds it.
struct ProgramFolder {
    QTemporaryDir dir;
    ProgramFolder() { QDir(dir.path()).mkpath(QStringLiteral("Base")); }
    QString path() const { return dir.path(); }
    QString database() const { return dir.filePath(QStringLiteral("Base/Sroko.fdb")); }
};

} // namespace

TEST(DataModule, ConnectsToTheFixedPathAndReadsTheDbSection) {
    ProgramFolder folder;
    TestDatabase::createAt(folder.database());
    IniFile(folder.dir.filePath(QStringLiteral("Sroko.ini")))
        .writeString(QStringLiteral("DB"), QStringLiteral("DBFile"),
                     QStringLiteral("D:\\Data\\base.fdb"));
    IniFile(folder.dir.filePath(QStringLiteral("Sroko.ini")))
        .writeString(QStringLiteral("DB"), QStringLiteral("ServerName"), QStringLiteral("srv"));
    ScriptedDialogs dialogs;
    FixedClock clock(QDateTime(QDate(2025, 3, 10), QTime(9, 0)));
    AppContext context{folder.path(), &dialogs, &clock, {}};
    QString status;
    {
        TDM dm(context);
        EXPECT_EQ(TDM::instance(), &dm);
        dm.setStatusTextHandler([&](const QString& text) { status = text; });
        ASSERT_TRUE(dm.ConnectDatabase());
        EXPECT_TRUE(dialogs.messages().isEmpty());
        EXPECT_EQ(status, QStringLiteral("База данных: ") + folder.database());
        EXPECT_EQ(dm.ServiceConnectString, QStringLiteral("D:\\Data\\base.fdb"))
            << "no Protocol: local form";
        EXPECT_EQ(dm.LastUpdateDate, QStringLiteral("10.03.2025"));
        dm.qHoliday().open();
        EXPECT_FALSE(dm.qHoliday().fetch());
    }
    EXPECT_EQ(TDM::instance(), nullptr);
}

TEST(DataModule, MissingDatabaseShowsTheEngineTextAndKeepsTheLastError) {
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    FixedClock clock;
    TDM dm(AppContext{folder.path(), &dialogs, &clock, {}});
    EXPECT_FALSE(dm.ConnectDatabase());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.lastMessage().caption, QStringLiteral("Ошибка подключения"));
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Error);
    EXPECT_FALSE(dm.LastDbErrorText.isEmpty());
    EXPECT_EQ(dialogs.lastMessage().text, dm.LastDbErrorText);
}

TEST(DataModule, LastDbErrorTextHoldsOnlyTheLatestError) {
    ProgramFolder folder;
    TestDatabase::createAt(folder.database());
    ScriptedDialogs dialogs;
    FixedClock clock;
    TDM dm(AppContext{folder.path(), &dialogs, &clock, {}});
    ASSERT_TRUE(dm.ConnectDatabase());
    for (const char* table : {"NO_TABLE_ONE", "NO_TABLE_TWO"}) {
        fb::Statement st(dm.IBTransaction,
                         QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)));
        EXPECT_THROW(st.open(), fb::Error);
    }
    EXPECT_TRUE(dm.LastDbErrorText.contains(QStringLiteral("NO_TABLE_TWO")));
    EXPECT_FALSE(dm.LastDbErrorText.contains(QStringLiteral("NO_TABLE_ONE")));
}

TEST(DataModule, LostConnectionShowsItsMessageThenEndsTheProgram) {
    ProgramFolder folder;
    TestDatabase::createAt(folder.database());
    ScriptedDialogs dialogs;
    FixedClock clock;
    int ended = 0;
    TDM dm(AppContext{folder.path(), &dialogs, &clock, [&] { ++ended; }});
    ASSERT_TRUE(dm.ConnectDatabase());
    {
        fb::Attachment killer;
        killer.attach(folder.database(),
                      {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=x")});
        fb::Transaction tr(killer);
        killer.executeImmediate(
            tr, QStringLiteral(
                    "DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION"));
        tr.commit();
    }
    fb::Statement st(dm.IBTransaction, QStringLiteral("SELECT COUNT(*) FROM USERS"));
    EXPECT_THROW(st.open(), fb::Error);
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.lastMessage().text,
              QStringLiteral("Программа будет закрыта, так как потеряна связь с базой данных."));
    EXPECT_EQ(dialogs.lastMessage().caption, QStringLiteral("Ошибка InterBase"));
}
