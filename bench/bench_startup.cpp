// sroko-bench-startup [--runs N] [--entries N]: how long the program takes from its start to
// its main window on the screen, with a large schedule in the database. The database is built
// once (build/bench/startup/Base/Sroko.fdb) and reused; each run is a fresh process that starts
// the program exactly as sroko does and reports when its window is shown.
#include "app/program_main.h"
#include "app/tmf.h"
#include "fb/attachment.h"
#include "fb/script.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "store/database_creator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace {

// Seconds since this process started, from the kernel's own start time.
double secondsSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9 - startTicks / sysconf(_SC_CLK_TCK);
}

int childRun(int argc, char** argv, const QString& folder) {
    ProgramHooks hooks;
    hooks.programFolder = folder;
    hooks.onShown = [](TMF&) {
        std::printf("shown_after_s=%.3f\n", secondsSinceProcessStart());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    };
    return runProgram(argc, argv, hooks);
}

void buildDatabase(const QString& path, int entries) {
    std::printf("building a database with %d schedule entries (once)...\n", entries);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    database_creator::createDatabase(partial, true);
    {
        fb::Attachment att;
        att.attach(partial, database_creator::connectionParams());
        // 300 organisations and 40 reports; each pair gets monthly entries going back in time.
        const int organisations = 300, reports = 40;
        const int perPair =
            std::max(1, (entries + organisations * reports - 1) / (organisations * reports));
        fb::runScript(
            att,
            QStringLiteral(
                "SET TERM ^ ;\n"
                "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN\n"
                "  WHILE (I < %1) DO BEGIN\n"
                "    INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, "
                "BUH_TAX_SYSTEM_ADDIT, USERS_ID)\n"
                "      VALUES (1000 + :I, 'Организация № ' || :I, MOD(:I, 5), MOD(:I, 3), 0);\n"
                "    I = I + 1; END\n"
                "  I = 0;\n"
                "  WHILE (I < %2) DO BEGIN\n"
                "    INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, "
                "DAY_WARNING, DEL)\n"
                "      VALUES (1000 + :I, 'Отчёт № ' || :I, 25, NULL, MOD(:I, 3), 5, 0);\n"
                "    I = I + 1; END\n"
                "END^\n")
                .arg(organisations)
                .arg(reports));
        fb::runScript(
            att, QStringLiteral("SET TERM ^ ;\n"
                                "EXECUTE BLOCK AS DECLARE O INTEGER; DECLARE R INTEGER; DECLARE K "
                                "INTEGER; DECLARE N INTEGER = 0;\n"
                                "DECLARE E TIMESTAMP; BEGIN\n"
                                "  O = 0; WHILE (O < %1) DO BEGIN\n"
                                "    R = 0; WHILE (R < %2) DO BEGIN\n"
                                "      INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, "
                                "ORGANIZATION_ID, ON_OFF) VALUES (1000 + :R, 1000 + :O, 1);\n"
                                "      K = 0; WHILE (K < %3 AND N < %4) DO BEGIN\n"
                                "        E = DATEADD(-1 DAY TO DATEADD(-:K MONTH TO "
                                "CAST('2027-01-01' AS TIMESTAMP)));\n"
                                "        INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, "
                                "CYCLING, DT_END_ACCOUNT, DT_ACTION, DT_ACTUAL)\n"
                                "          VALUES (1000 + :O, 1000 + :R, 0, :E, DATEADD(25 DAY TO "
                                ":E), IIF(:K > 12, DATEADD(20 DAY TO :E), NULL));\n"
                                "        K = K + 1; N = N + 1; END\n"
                                "      R = R + 1; END\n"
                                "    O = O + 1; END\n"
                                "END^\n")
                     .arg(organisations)
                     .arg(reports)
                     .arg(perPair)
                     .arg(entries));
    }
    QFile::rename(partial, path);
    std::printf("built in %.1f s\n", timer.elapsed() / 1000.0);
}

} // namespace

int main(int argc, char** argv) {
    int runs = 7;
    int entries = 1000000;
    bool child = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--child"))
            child = true;
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--entries") && i + 1 < argc)
            entries = std::atoi(argv[++i]);
    }
    const QString folder = QStringLiteral(SROKO_BENCH_DIR "/startup");
    if (child)
        return childRun(argc, argv, folder);

    QCoreApplication app(argc, argv);
    QDir().mkpath(folder + QStringLiteral("/Base"));
    const QString database = folder + QStringLiteral("/Base/Sroko.fdb");
    const QString marker = folder + QStringLiteral("/Base/entries.txt");
    QFile markerFile(marker);
    const bool fresh = QFile::exists(database) && markerFile.open(QIODevice::ReadOnly) &&
                       markerFile.readAll().trimmed().toInt() == entries;
    markerFile.close();
    if (!fresh) {
        QFile::remove(database);
        buildDatabase(database, entries);
        QFile out(marker);
        out.open(QIODevice::WriteOnly);
        out.write(QByteArray::number(entries));
    }
    // Start-up should not meet the update reminder's question.
    QFile::remove(folder + QStringLiteral("/Sroko.ini"));

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
        if (!process.waitForFinished(120000)) {
            std::fprintf(stderr, "run %d did not finish\n", run);
            return 1;
        }
        const QByteArray out = process.readAllStandardOutput();
        const qsizetype at = out.indexOf("shown_after_s=");
        if (at < 0) {
            std::fprintf(stderr, "run %d: no window: %s%s\n", run, out.constData(),
                         process.readAllStandardError().constData());
            return 1;
        }
        const double seconds = out.mid(at + 14).split('\n').first().toDouble();
        times.push_back(seconds);
        std::printf("run%d_s=%.3f\n", run + 1, seconds);
    }
    std::sort(times.begin(), times.end());
    std::printf("entries=%d\nruns=%d\nstartup_s=%.3f\n", entries, runs, times[times.size() / 2]);
    return 0;
}
