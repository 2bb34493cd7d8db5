#include "schedule_db.h"

#include "support/test_database.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// The command-line tool as built beside the test programs.
CliRun runCli(const QStringList& args) {
    CliRun run;
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../sroko-cli");
    if (!QFile::exists(program)) {
        ADD_FAILURE() << "build the sroko-cli target first: " << program.toStdString();
        return run;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    process.start();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "sroko-cli did not finish: " << process.errorString().toStdString();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void writeFile(const QString& path, const char* text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

class CliTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
};

TEST_F(CliTest, DeadlinesListsEveryPeriodWithTheHolidayFile) {
    writeFile(path("holidays.txt"), "# marks of the year\n"
                                    "01.01 0\n"
                                    "\n"
                                    "25.07 0   # a Friday off\n"
                                    "25.10 1\n");
    const CliRun run = runCli({"deadlines", "--cycling", "1", "--day-action", "25", "--today",
                               "2025-03-10", "--holidays", path("holidays.txt")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "2024-12-31 2025-01-25 2025-01-27 skipped\n"
                       "2025-03-31 2025-04-25 2025-04-25 scheduled\n"
                       "2025-06-30 2025-07-25 2025-07-28 scheduled\n"
                       "2025-09-30 2025-10-25 2025-10-25 scheduled\n"
                       "2025-12-31 2026-01-25 2026-01-26 scheduled\n");

    // A periodicity the engine does not know has no periods.
    const CliRun none = runCli({"deadlines", "--cycling=3", "--day-action=25"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(none.out.isEmpty());
}

TEST_F(CliTest, BadArgumentsAreRefusedWithExitCode2) {
    writeFile(path("bad.txt"), "# comment\n\n01.05 0\n31.04 0\n");
    writeFile(path("not-a-database.fdb"), "plain text");
    const QStringList deadlines = {"deadlines", "--cycling", "1", "--day-action", "25"};
    struct Case {
        QStringList args;
        QString message;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"deadlines", "--day-action", "5"}, "option --cycling is required"},
        {{"deadlines", "--cycling", "1", "--day-action", "x"}, "needs a whole number"},
        {{"deadlines", "--cycling", "1", "--day-action"}, "option --day-action needs a value"},
        {deadlines + QStringList{"--today", "2025-13-01"}, "--today needs a date"},
        {deadlines + QStringList{"--holidays", path("bad.txt")}, "bad.txt:4: bad holiday line"},
        {deadlines + QStringList{"--holidays", path("missing.txt")}, "cannot read holiday file"},
        {deadlines + QStringList{"--db", "x.fdb"}, "unknown option --db"},
        {{"generate"}, "option --db is required"},
        {{"generate", "--db", path("missing.fdb")}, "database not found"},
        {{"correct", "--db", path("not-a-database.fdb")}, "cannot open the database"},
        {{"due", "--db", path("missing.fdb"), "--db", path("missing.fdb")}, "given twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
    }

    const CliRun help = runCli({"generate", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("sroko-cli generate --db PATH")) << help.out.toStdString();
}

TEST_F(CliTest, GenerateCorrectAndDueWorkOnTheDatabase) {
    TestDatabase db;
    db.exec(QString::fromUtf8(kBooksSql) + QString::fromUtf8(kTestCalendarSql));
    const QString dbPath = db.path();

    CliRun run = runCli({"generate", "--db", dbPath, "--today", "2025-03-10"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "stored 22 failed 0\n");

    run = runCli({"generate", "--db", dbPath, "--report", "1", "--today", "2025-03-10"});
    EXPECT_EQ(run.out, "stored 8 failed 0\n");
    run = runCli({"generate", "--db", dbPath, "--report", "999"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("no report with ID 999"));

    // Friday 25 July is a working day after all: both quarterly entries move back to it.
    run = runCli({"correct", "--db", dbPath, "--today", "2025-03-10"});
    EXPECT_EQ(run.out, "changed 0\n");
    db.exec("DELETE FROM BUH_HOLIDAY WHERE DAY_MONTH = 25 AND MONTH_YEAR = 7;");
    run = runCli({"correct", "--db", dbPath, "--today", "2025-03-10"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "changed 2\n");

    // On 20 April three entries are past their deadline, one of them submitted and so not
    // listed; three are in their warning days (5 for the quarterly report, 3 for the monthly).
    db.exec("UPDATE BUH_HISTORY SET DT_ACTUAL = '2025-03-19' WHERE BUH_ACCOUNT_ID = 3 AND "
            "DT_END_ACCOUNT = '2025-02-28';");
    run = runCli({"due", "--db", dbPath, "--today", "2025-04-20"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              QStringLiteral("2025-03-31\tПросрочен, не сдан\tООО Ромашка\tБаланс\n"
                             "2025-03-31\tПросрочен, не сдан\tООО Ромашка\tРСВ\n"
                             "2025-04-21\tПредупреждение о скорой сдаче\tООО Ромашка\tРСВ\n"
                             "2025-04-25\tПредупреждение о скорой сдаче\tИП Лютик\tНДС\n"
                             "2025-04-25\tПредупреждение о скорой сдаче\tООО "
                             "Ромашка\tНДС\n"));
}

} // namespace
