#include "core/clock.h"
#include "core/ini_file.h"
#include "data/tdm.h"
#include "fb/statement.h"
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
    FixedClock clock(QDateTime(QDate(2025, 3, 10), QTime(9, 0)));
    DataModuleContext context{folder.path(), &clock};
    QString status;
    {
        TDM dm(context);
        EXPECT_EQ(TDM::instance(), &dm);
        dm.setStatusTextHandler([&](const QString& text) { status = text; });
        ASSERT_NO_THROW(dm.ConnectDatabase());
        EXPECT_EQ(status, QStringLiteral("База данных: ") + folder.database());
        EXPECT_EQ(dm.ServiceConnectString, QStringLiteral("D:\\Data\\base.fdb"))
            << "no Protocol: local form";
        EXPECT_EQ(dm.LastUpdateDate, QStringLiteral("10.03.2025"));
        dm.qHoliday().open();
        EXPECT_FALSE(dm.qHoliday().fetch());
    }
    EXPECT_EQ(TDM::instance(), nullptr);
}

TEST(DataModule, MissingDatabaseRaisesTheEngineTextAndKeepsTheLastError) {
    ProgramFolder folder;
    FixedClock clock;
    TDM dm(DataModuleContext{folder.path(), &clock});
    try {
        dm.ConnectDatabase();
        FAIL() << "connected to a missing file";
    } catch (const fb::Error& e) {
        EXPECT_FALSE(dm.LastDbErrorText.isEmpty());
        EXPECT_EQ(dm.connectErrorText(e), dm.LastDbErrorText);
    }
    EXPECT_FALSE(dm.SHCDataBase.isConnected());
}

TEST(DataModule, AClientSideErrorEmptiesTheLastEngineText) {
    ProgramFolder folder;
    TestDatabase::createAt(folder.database());
    FixedClock clock;
    TDM dm(DataModuleContext{folder.path(), &clock});
    dm.ConnectDatabase();
    fb::Statement broken(dm.IBTransaction, QStringLiteral("SELECT * FROM NO_SUCH_TABLE"));
    EXPECT_THROW(broken.open(), fb::Error);
    ASSERT_FALSE(dm.LastDbErrorText.isEmpty());
    // Text the code page cannot hold is refused before the engine sees it.
    fb::Statement emoji(dm.IBTransaction,
                        QStringLiteral("SELECT COUNT(*) FROM USERS WHERE FIO = :FIO"));
    emoji.setParam(QStringLiteral("FIO"), QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_THROW(emoji.open(), fb::Error);
    EXPECT_TRUE(dm.LastDbErrorText.isEmpty());
}

TEST(DataModule, LastDbErrorTextHoldsOnlyTheLatestError) {
    ProgramFolder folder;
    TestDatabase::createAt(folder.database());
    FixedClock clock;
    TDM dm(DataModuleContext{folder.path(), &clock});
    dm.ConnectDatabase();
    for (const char* table : {"NO_TABLE_ONE", "NO_TABLE_TWO"}) {
        fb::Statement st(dm.IBTransaction,
                         QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)));
        EXPECT_THROW(st.open(), fb::Error);
    }
    EXPECT_TRUE(dm.LastDbErrorText.contains(QStringLiteral("NO_TABLE_TWO")));
    EXPECT_FALSE(dm.LastDbErrorText.contains(QStringLiteral("NO_TABLE_ONE")));
}

TEST(DataModule, LostConnectionLetsGoOfItsStatementsThenCallsTheHandlerOnce) {
    ProgramFolder folder;
    TestDatabase::createAt(folder.database());
    FixedClock clock;
    int ended = 0;
    TDM dm(DataModuleContext{folder.path(), &clock});
    dm.setConnectionLostHandler([&] {
        EXPECT_FALSE(dm.IBTransaction.isActive());
        ++ended;
    });
    dm.ConnectDatabase();
    dm.qHoliday().open();
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
    for (int i = 0; i < 2; ++i) {
        fb::Statement st(dm.IBTransaction, QStringLiteral("SELECT COUNT(*) FROM USERS"));
        EXPECT_THROW(st.open(), fb::Error);
    }
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(dm.connectionLost());
}
