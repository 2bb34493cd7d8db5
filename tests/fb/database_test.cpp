#include "fb/attachment.h"
#include "fb/engine.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "store/database_creator.h"
#include "support/test_database.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

class Database : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_db = new TestDatabase(); }
    static void TearDownTestSuite() {
        delete s_db;
        s_db = nullptr;
    }
    void SetUp() override { m_att = s_db->connect(); }

    static TestDatabase* s_db;
    std::unique_ptr<fb::Attachment> m_att;
};
TestDatabase* Database::s_db = nullptr;

QVariant scalar(fb::Attachment& att, const QString& sql) {
    fb::Transaction tr(att);
    fb::Statement st(tr, sql);
    st.open();
    return st.fetch() ? st.value(0) : QVariant();
}

} // namespace

TEST_F(Database, TextBlobsNullsAndTimestampsRoundTrip) {
    fb::Transaction tr(*m_att);
    fb::Statement insert(
        tr,
        QStringLiteral(
            "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, "
            "USERS_ID,"
            " REQ_INN, REQ_KPP, COMMENTS) VALUES (:ID, :NAME, 0, 2, 0, :INN, :KPP, :COMMENTS)"));
    const QString name = QStringLiteral("ООО «Ёлка» № 1");
    const QString comments = QString(QStringLiteral("Длинный комментарий ЁЖ № ")).repeated(3000);
    insert.setParam(QStringLiteral("ID"), 501);
    insert.setParam(QStringLiteral("NAME"), name);
    insert.setParam(QStringLiteral("INN"), QVariant());
    insert.setParam(QStringLiteral("KPP"), QStringLiteral("770101001"));
    insert.setParam(QStringLiteral("COMMENTS"), comments);
    insert.execute();

    fb::Statement history(tr, QStringLiteral("INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, "
                                             "CYCLING, DAY_WARNING) VALUES (501, 'R', 1, 0, 1)"));
    history.execute();
    fb::Statement entry(
        tr,
        QStringLiteral(
            "INSERT INTO BUH_HISTORY (ID, ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT,"
            " DT_ACTION, DT_ACTUAL) VALUES (501, 501, 501, 0, :E, :A, :ACT)"));
    entry.setParam(QStringLiteral("E"), QDate(2024, 2, 29));
    entry.setParam(QStringLiteral("A"), QDateTime(QDate(2024, 3, 20), QTime(0, 0)));
    entry.setParam(QStringLiteral("ACT"), QDateTime(QDate(2024, 3, 19), QTime(13, 45, 7, 250)));
    entry.execute();
    tr.commit();

    fb::Transaction reader(*m_att, fb::Transaction::Mode::ReadOnly);
    fb::Statement select(reader, QStringLiteral("SELECT O.NAME, O.REQ_INN, O.REQ_KPP, O.COMMENTS, "
                                                "H.DT_END_ACCOUNT, H.DT_ACTUAL, H.COMMENTS"
                                                " FROM ORGANIZATION O JOIN BUH_HISTORY H ON "
                                                "H.ORGANIZATION_ID = O.ID WHERE O.ID = :ID"));
    select.setParam(QStringLiteral("ID"), 501);
    select.open();
    ASSERT_TRUE(select.fetch());
    EXPECT_EQ(select.value(QStringLiteral("NAME")).toString(), name);
    EXPECT_FALSE(select.value(1).isValid()) << "NULL comes back as an invalid QVariant";
    EXPECT_EQ(select.value(2).toString(), QStringLiteral("770101001"));
    EXPECT_EQ(select.value(3).toString(), comments);
    EXPECT_EQ(select.value(4).toDateTime(), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    EXPECT_EQ(select.value(5).toDateTime(), QDateTime(QDate(2024, 3, 19), QTime(13, 45, 7, 250)));
    EXPECT_FALSE(select.value(6).isValid());
    EXPECT_FALSE(select.fetch());
}

TEST_F(Database, TextOutsideTheCodePageIsRefusedAndNothingIsWritten) {
    {
        fb::Transaction tr(*m_att);
        fb::Statement insert(tr, QStringLiteral("INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, "
                                                "MONTH_YEAR, HOLIDAY_WORK) VALUES (:N, 1, 1, 0)"));
        insert.setParam(QStringLiteral("N"), QStringLiteral("Праздник 🎉"));
        EXPECT_THROW(insert.execute(), fb::Error);
    }
    EXPECT_EQ(
        scalar(*m_att, QStringLiteral(
                           "SELECT COUNT(*) FROM BUH_HOLIDAY WHERE NAME STARTING WITH 'Праздник'"))
            .toInt(),
        0);
}

TEST_F(Database, UncommittedTransactionRollsBackWhenItGoesOutOfScope) {
    {
        fb::Transaction tr(*m_att);
        m_att->executeImmediate(
            tr, QStringLiteral("INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, "
                               "HOLIDAY_WORK) VALUES ('Откат', 2, 2, 0)"));
    }
    EXPECT_EQ(
        scalar(*m_att, QStringLiteral("SELECT COUNT(*) FROM BUH_HOLIDAY WHERE NAME = 'Откат'"))
            .toInt(),
        0);
}

TEST_F(Database, SeveralTransactionsOnOneAttachmentSeeOnlyCommittedWork) {
    fb::Transaction writer(*m_att);
    fb::Transaction reader(*m_att, fb::Transaction::Mode::ReadOnly);
    m_att->executeImmediate(writer,
                            QStringLiteral("INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, "
                                           "HOLIDAY_WORK) VALUES ('Видимость', 3, 3, 0)"));
    auto count = [&] {
        fb::Statement st(
            reader, QStringLiteral("SELECT COUNT(*) FROM BUH_HOLIDAY WHERE NAME = 'Видимость'"));
        st.open();
        st.fetch();
        return st.value(0).toInt();
    };
    EXPECT_EQ(count(), 0);
    writer.commit();
    EXPECT_EQ(count(), 1);
}

TEST_F(Database, GeneratorsGiveIncreasingValues) {
    fb::Transaction tr(*m_att);
    const qint64 a = m_att->nextGeneratorValue(tr, QStringLiteral("GEN_BUH_HOLIDAY_ID"));
    const qint64 b = m_att->nextGeneratorValue(tr, QStringLiteral("GEN_BUH_HOLIDAY_ID"));
    EXPECT_EQ(b, a + 1);
}

TEST_F(Database, ErrorHookSeesEngineTextOfEachErrorAndClientErrorsHaveNone) {
    QStringList seen;
    m_att->setErrorHook([&](const fb::Error& e) { seen << e.engineText(); });
    fb::Transaction tr(*m_att);
    EXPECT_THROW(m_att->executeImmediate(tr, QStringLiteral("SELECT * FROM NO_SUCH_TABLE")),
                 fb::Error);
    EXPECT_THROW(m_att->executeImmediate(tr, QStringLiteral("INSERT INTO USERS (ID) VALUES (1)")),
                 fb::Error);
    fb::Statement st(tr, QStringLiteral("SELECT 1 FROM RDB$DATABASE WHERE 1 = :X"));
    EXPECT_THROW(st.setParam(QStringLiteral("Y"), 1), fb::Error);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_TRUE(seen[0].contains(QStringLiteral("NO_SUCH_TABLE"))) << seen[0].toStdString();
    EXPECT_TRUE(seen[1].contains(QStringLiteral("PRIMARY")) ||
                seen[1].contains(QStringLiteral("violation")))
        << seen[1].toStdString();
    EXPECT_TRUE(seen[1].endsWith(QLatin1Char('\n')));
    EXPECT_TRUE(seen[2].isEmpty());
}

TEST(Connection, MissingFileAndNonDatabaseFileFailWithTheEngineText) {
    QTemporaryDir dir;
    fb::Attachment att;
    try {
        att.attach(dir.filePath(QStringLiteral("none.fdb")), database_creator::connectionParams());
        FAIL() << "attached a missing file";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.isEngineError());
        EXPECT_FALSE(att.isConnected());
    }
    QFile junk(dir.filePath(QStringLiteral("junk.fdb")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(20000, 'x'));
    junk.close();
    EXPECT_THROW(att.attach(junk.fileName(), database_creator::connectionParams()), fb::Error);
    EXPECT_EQ(QFile(junk.fileName()).size(), 20000) << "a foreign file is left as it was";
}

TEST(Connection, KilledFromOutsideFiresTheLostConnectionHookOnce) {
    TestDatabase db;
    auto victim = db.connect();
    int lost = 0;
    victim->setConnectionLostHook([&] { ++lost; });
    const qint64 id = [&] {
        fb::Transaction tr(*victim);
        fb::Statement st(tr, QStringLiteral("SELECT CURRENT_CONNECTION FROM RDB$DATABASE"));
        st.open();
        st.fetch();
        return st.value(0).toLongLong();
    }();
    auto killer = db.connect();
    {
        fb::Transaction tr(*killer);
        killer->executeImmediate(
            tr, QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = %1").arg(id));
        tr.commit();
    }
    for (int i = 0; i < 2; ++i) {
        try {
            fb::Transaction tr(*victim);
            fb::Statement st(tr, QStringLiteral("SELECT COUNT(*) FROM USERS"));
            st.open();
            FAIL() << "the killed connection still works";
        } catch (const fb::Error& e) {
            EXPECT_TRUE(e.isConnectionLost()) << e.message().toStdString();
        }
    }
    EXPECT_EQ(lost, 1);
}

// Two processes share one database file: the child (this same test program, started again)
// writes a row while the parent holds its connection open, and the parent reads it.
TEST(TwoProcesses, ShareOneDatabaseFile) {
    TestDatabase db;
    auto parent = db.connect();
    {
        fb::Transaction tr(*parent);
        parent->executeImmediate(
            tr, QStringLiteral("INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, "
                               "HOLIDAY_WORK) VALUES ('Родитель', 1, 1, 0)"));
        tr.commit();
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SROKO_CHILD_DB"), db.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=TwoProcesses.DISABLED_ChildWritesARow"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    EXPECT_EQ(scalar(*parent,
                     QStringLiteral(
                         "SELECT COUNT(*) FROM BUH_HOLIDAY WHERE NAME IN ('Родитель', 'Ребёнок')"))
                  .toInt(),
              2);
}

TEST(TwoProcesses, DISABLED_ChildWritesARow) {
    const QString path = qEnvironmentVariable("SROKO_CHILD_DB");
    ASSERT_FALSE(path.isEmpty());
    fb::Attachment att;
    att.attach(path, database_creator::connectionParams());
    EXPECT_EQ(
        scalar(att, QStringLiteral("SELECT COUNT(*) FROM BUH_HOLIDAY WHERE NAME = 'Родитель'"))
            .toInt(),
        1);
    fb::Transaction tr(att);
    att.executeImmediate(tr, QStringLiteral("INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, "
                                            "HOLIDAY_WORK) VALUES ('Ребёнок', 2, 1, 0)"));
    tr.commit();
}

// A database held by a program whose engine runs in the exclusive mode (the system's default
// configuration) cannot be opened; the engine says why.
TEST(Connection, ALockedDatabaseFailsWithTheEngineText) {
    TestDatabase db;
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SROKO_CHILD_DB"), db.path());
    holder.setProcessEnvironment(env);
    holder.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=Connection.DISABLED_HoldWithTheExclusiveEngine"),
                  QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(holder.waitForStarted(30000));
    QByteArray out;
    while (!out.contains("holding") && holder.waitForReadyRead(30000))
        out += holder.readAllStandardOutput();
    ASSERT_TRUE(out.contains("holding")) << out.toStdString();
    fb::Attachment att;
    try {
        att.attach(db.path(), database_creator::connectionParams());
        FAIL() << "opened a database that another engine holds";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.isEngineError());
        EXPECT_TRUE(e.engineText().contains(QStringLiteral("lock"))) << e.message().toStdString();
    }
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(30000));
    // Released, the file opens again.
    att.attach(db.path(), database_creator::connectionParams());
    EXPECT_TRUE(att.isConnected());
}

TEST(Connection, DISABLED_HoldWithTheExclusiveEngine) {
    const QString path = qEnvironmentVariable("SROKO_CHILD_DB");
    ASSERT_FALSE(path.isEmpty());
    // The system's engine root: where our root's plugins link to.
    const QString systemRoot =
        QFileInfo(QFileInfo(fb::defaultEngineRoot() + QStringLiteral("/plugins")).symLinkTarget())
            .path();
    fb::configureEmbeddedEngine(systemRoot);
    fb::Attachment att;
    att.attach(path, database_creator::connectionParams());
    std::printf("holding\n");
    std::fflush(stdout);
    // Hold the file until the parent closes our input.
    QFile input;
    input.open(stdin, QIODevice::ReadOnly);
    input.readAll();
}

// A whole day goes to the database as its midnight, also in a zone where the clocks jump
// from 23:59 to 01:00 at the start of that day.
TEST(Dates, AWholeDayIsMidnightWhereDaylightSavingSkipsIt) {
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "America/Santiago");
    tzset();
    TestDatabase db;
    auto att = db.connect();
    {
        fb::Transaction tr(*att);
        // Read back by the engine: the client's own reading would apply the zone again.
        fb::Statement st(tr, QStringLiteral("SELECT EXTRACT(DAY FROM CAST(:DAY AS TIMESTAMP)), "
                                            "EXTRACT(HOUR FROM CAST(:DAY AS TIMESTAMP)) FROM "
                                            "RDB$DATABASE"));
        st.setParam(QStringLiteral("DAY"), QDate(2025, 9, 7));
        st.open();
        ASSERT_TRUE(st.fetch());
        EXPECT_EQ(st.value(0).toInt(), 7);
        EXPECT_EQ(st.value(1).toInt(), 0);
    }
    if (savedTz.isEmpty())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    tzset();
}
