#include "schedule_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& args) {
    CliRun run;
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../sroko-cli");
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "sroko-cli did not finish: " << program.toStdString();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

class ScheduleCliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_db = new TestDatabase;
        seedSchedule(*s_db);
    }
    static void TearDownTestSuite() {
        delete s_db;
        s_db = nullptr;
    }
    // The run on the fixture's database and day, with more options.
    CliRun run(const char* command, const QStringList& options) {
        return runCli(QStringList{QString::fromLatin1(command), QStringLiteral("--db"),
                                  s_db->path(), QStringLiteral("--today"),
                                  QStringLiteral("2025-03-10")} +
                      options);
    }
    static QSet<int> ids(const QString& out) {
        QSet<int> set;
        for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            set.insert(line.section(QLatin1Char('\t'), 0, 0).toInt());
        return set;
    }
    static TestDatabase* s_db;
};

TestDatabase* ScheduleCliTest::s_db = nullptr;

TEST_F(ScheduleCliTest, ListPrintsTheTabsListOneLinePerEntry) {
    const CliRun year = run("list", {});
    ASSERT_EQ(year.exitCode, 0) << year.err.toStdString();
    const QStringList lines = year.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 10);
    // In deadline order; the first two share their deadline.
    EXPECT_TRUE(lines.contains(
        QStringLiteral("4\t2024-12-31\t2025-01-27\t2025-01-20\tquarter\tНДС\tИП Лютик\tSdan")));
    EXPECT_TRUE(
        lines.contains(QStringLiteral("7\t2025-02-28\t2025-03-31\t\tmonth\tРСВ\t\tNeSdan")));
    EXPECT_EQ(lines.last(), QStringLiteral("1\t2025-03-31\t2025-04-25\t\tquarter\tНДС\tООО "
                                           "Ромашка\tNeSdan"));
    EXPECT_EQ(lines.at(6), QStringLiteral("9\t2024-09-30\t2025-03-10\t\tquarter\tНДС\tООО "
                                          "Ромашка\tWarning"));

    struct Case {
        QStringList options;
        QSet<int> ids;
    } cases[] = {
        {{QStringLiteral("--all-dates")}, {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12}},
        {{QStringLiteral("--from"), QStringLiteral("2025-01"), QStringLiteral("--to"),
          QStringLiteral("2025-01")},
         {4, 6, 10}},
        {{QStringLiteral("--report"), QStringLiteral("1")}, {1, 4, 6, 9}},
        {{QStringLiteral("--org"), QStringLiteral("20")}, {3, 4, 10, 11}},
        {{QStringLiteral("--status"), QStringLiteral("AlarmNeSdan,Warning")}, {2, 3, 9, 10, 11}},
        {{QStringLiteral("--status"), QStringLiteral("AlarmPodozrenue"),
          QStringLiteral("--all-dates")},
         {6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(QLatin1Char(' ')).toStdString());
        const CliRun r = run("list", c.options);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(ids(r.out), c.ids);
    }
}

TEST_F(ScheduleCliTest, StatsPrintsTheFiveCounters) {
    const CliRun r = run("stats", {});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Warning=2\nAlarmNeSdan=3\nAlarmSdan=1\nAlarmPodozrenue=1\n"
                                    "total=10\n"));
    const CliRun later = runCli({QStringLiteral("stats"), QStringLiteral("--db"), s_db->path(),
                                 QStringLiteral("--today"), QStringLiteral("2025-03-11"),
                                 QStringLiteral("--org"), QStringLiteral("10")});
    EXPECT_EQ(later.out, QStringLiteral("Warning=1\nAlarmNeSdan=1\nAlarmSdan=1\n"
                                        "AlarmPodozrenue=1\ntotal=5\n"));
}

TEST_F(ScheduleCliTest, BadArgumentsAndAnUnusableDatabaseExitWithTwo) {
    const QStringList bad[] = {
        {QStringLiteral("--status"), QStringLiteral("Overdue")},
        {QStringLiteral("--status"), QStringLiteral(",")},
        {QStringLiteral("--from"), QStringLiteral("2025-03"), QStringLiteral("--to"),
         QStringLiteral("2025-01")},
        {QStringLiteral("--from"), QStringLiteral("March")},
        {QStringLiteral("--all-dates"), QStringLiteral("--from"), QStringLiteral("2025-01")},
        {QStringLiteral("--org"), QStringLiteral("ten")},
        {QStringLiteral("--color"), QStringLiteral("red")},
    };
    for (const QStringList& options : bad) {
        SCOPED_TRACE(options.join(QLatin1Char(' ')).toStdString());
        for (const char* command : {"list", "stats"}) {
            const CliRun r = run(command, options);
            EXPECT_EQ(r.exitCode, 2);
            EXPECT_TRUE(r.out.isEmpty());
            EXPECT_TRUE(r.err.startsWith(QStringLiteral("sroko-cli: "))) << r.err.toStdString();
        }
    }
    const CliRun missing = runCli({QStringLiteral("list"), QStringLiteral("--db"),
                                   s_db->folder() + QStringLiteral("/none.fdb")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("database not found")));
    QFile junk(s_db->folder() + QStringLiteral("/junk.fdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(20000, 'x'));
    junk.close();
    const CliRun unusable =
        runCli({QStringLiteral("stats"), QStringLiteral("--db"), junk.fileName()});
    EXPECT_EQ(unusable.exitCode, 2);
    EXPECT_TRUE(unusable.err.contains(QStringLiteral("cannot open the database")));
}

} // namespace
