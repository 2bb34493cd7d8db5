// sroko-bench-schedule [--entries N]: the schedule tab with a large schedule. Builds (once, then
// reuses) a database of N entries over 1,000 organisations and 40 reports and one of a tenth of
// that, and prints key=value figures: the time until the grid shows its first rows for the
// all-dates list of each, a title sort of the smaller list, the statistics over the larger one,
// a submission mark saved and re-read, deleting all entries of the smaller list in one
// transaction against one commit per row (measured on a sample and scaled), the memory a
// fetched row costs, and the peak memory of the process.
#include "books/books_environment.h"
#include "core/clock.h"
#include "core/ini_file.h"
#include "fb/attachment.h"
#include "fb/dataset.h"
#include "fb/script.h"
#include "schedule/schedule_engine.h"
#include "store/database_creator.h"
#include "tracking/buh_account_check_form.h"
#include "tracking/schedule_tab.h"
#include "tracking/statistics_panel.h"
#include "widgets/busy_indicator.h"
#include "widgets/data_grid.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Answers every question with Yes and saves every dialog.
class YesDialogs : public Dialogs {
public:
    MsgResult message(const MessageRequest& request) override {
        if (request.buttons == MsgButtons::YesNo)
            return MsgResult::Yes;
        std::fprintf(stderr, "message: %s\n", request.text.toUtf8().constData());
        return MsgResult::Ok;
    }
    int exec(QDialog&) override { return QDialog::Accepted; }
};

long statusValueKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(static_cast<int>(std::strlen(key)))
                .trimmed()
                .split(' ')
                .first()
                .toLong();
    }
    return -1;
}

void buildDatabase(const QString& path, int entries) {
    std::printf("building a database with %d schedule entries (once)...\n", entries);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    database_creator::createDatabase(partial, false);
    {
        fb::Attachment att;
        att.attach(partial, database_creator::connectionParams());
        const int organisations = 1000, reports = 40;
        fb::runScript(
            att, QStringLiteral(
                     "SET TERM ^ ;\n"
                     "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN\n"
                     "  WHILE (I < %1) DO BEGIN\n"
                     "    INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, "
                     "BUH_TAX_SYSTEM_ADDIT, USERS_ID)\n"
                     "      VALUES (1000 + :I, 'Организация № ' || (1000 - :I), MOD(:I, 5), "
                     "MOD(:I, 3), 0);\n"
                     "    I = I + 1; END\n"
                     "  I = 0;\n"
                     "  WHILE (I < %2) DO BEGIN\n"
                     "    INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, "
                     "DAY_WARNING, DEL)\n"
                     "      VALUES (1000 + :I, 'Отчёт № ' || :I, 25, NULL, 0, 5, 0);\n"
                     "    I = I + 1; END\n"
                     "END^\n")
                     .arg(organisations)
                     .arg(reports));
        // Period by period over every pair, so that every organisation has entries; older
        // periods are submitted, one in ten with a comment, one in seven late.
        fb::runScript(
            att,
            QStringLiteral(
                "SET TERM ^ ;\n"
                "EXECUTE BLOCK AS DECLARE O INTEGER; DECLARE R INTEGER; DECLARE K INTEGER = 0;\n"
                "DECLARE N INTEGER = 0; DECLARE E TIMESTAMP; BEGIN\n"
                "  WHILE (N < %3) DO BEGIN\n"
                "    E = DATEADD(-1 DAY TO DATEADD(-:K MONTH TO CAST('2027-01-01' AS "
                "TIMESTAMP)));\n"
                "    O = 0; WHILE (O < %1 AND N < %3) DO BEGIN\n"
                "      R = 0; WHILE (R < %2 AND N < %3) DO BEGIN\n"
                "        INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, "
                "DT_END_ACCOUNT, DT_ACTION, DT_ACTUAL, COMMENTS, USERS_ID)\n"
                "          VALUES (1000 + :O, 1000 + :R, 0, :E, DATEADD(25 DAY TO :E),\n"
                "            IIF(:K > 12, DATEADD(IIF(MOD(:N, 7) = 0, 27, 20) DAY TO :E), NULL),\n"
                "            IIF(:K > 12 AND MOD(:N, 10) = 0, 'Сдано через оператора ЭДО', "
                "NULL),\n"
                "            IIF(:K > 12, 1, NULL));\n"
                "        N = N + 1; R = R + 1; END\n"
                "      O = O + 1; END\n"
                "    K = K + 1; END\n"
                "END^\n")
                .arg(organisations)
                .arg(reports)
                .arg(entries));
    }
    QFile::rename(partial, path);
    std::printf("built in %.1f s\n", timer.elapsed() / 1000.0);
    std::fflush(stdout);
}

// The database of that many entries, built once and kept with a marker of its size.
QString database(const QString& folder, int entries) {
    const QString path = folder + QStringLiteral("/entries_%1.fdb").arg(entries);
    if (!QFile::exists(path))
        buildDatabase(path, entries);
    return path;
}

QString workCopy(const QString& source, const QString& name) {
    const QString copy = QFileInfo(source).dir().filePath(name);
    QFile::remove(copy);
    QFile::copy(source, copy);
    return copy;
}

// One schedule tab over one database, as the main window holds it.
struct Session {
    explicit Session(const QString& path) {
        attachment.attach(path, database_creator::connectionParams());
        ini = std::make_unique<IniFile>(QDir::temp().filePath(QStringLiteral("sroko_bench.ini")));
        engine = std::make_unique<ScheduleEngine>(attachment, clock);
        env = std::make_unique<BooksEnvironment>(
            BooksEnvironment{attachment, dialogs, clock, *ini, busy, *engine});
        window = std::make_unique<QWidget>();
        window->resize(1200, 800);
        tab = new ScheduleTab(attachment, &dialogs, clock, window.get());
        tab->setBooksEnvironment(env.get());
        tab->resize(1200, 800);
        tab->RBtn_BuhAllDB->click();
        window->show();
        QApplication::processEvents();
    }
    ~Session() {
        window.reset();
        env.reset();
        engine.reset();
    }
    // Runs a command and waits until the grid has painted its result.
    double timed(const std::function<void()>& command) {
        QElapsedTimer timer;
        timer.start();
        command();
        QApplication::processEvents();
        tab->DBGrid_BuhHistory->viewport()->repaint();
        return timer.nsecsElapsed() / 1e6;
    }

    fb::Attachment attachment;
    YesDialogs dialogs;
    SystemClock clock;
    BusyIndicator busy;
    std::unique_ptr<IniFile> ini;
    std::unique_ptr<ScheduleEngine> engine;
    std::unique_ptr<BooksEnvironment> env;
    std::unique_ptr<QWidget> window;
    ScheduleTab* tab = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    int entries = 1000000;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--entries") && i + 1 < argc)
            entries = std::atoi(argv[++i]);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = QStringLiteral(SROKO_BENCH_DIR "/schedule");
    QDir().mkpath(folder);
    const int small = entries / 10;
    const QString large = database(folder, entries);
    const QString smallDb = database(folder, small);

    std::printf("entries=%d\nsmall_entries=%d\n", entries, small);
    double deleteAllMs = 0;
    {
        Session s(smallDb);
        std::printf("first_rows_ms_%d=%.1f\n", small,
                    s.timed([&] { s.tab->PM_BuhAcc_CreateClick(); }));
        std::printf("sort_ms=%.1f\n", s.timed([&] {
            s.tab->DBGrid_BuhHistoryTitleBtnClick(QStringLiteral("ORGANIZATION_NAME"));
        }));
        std::printf("sort_desc_ms=%.1f\n", s.timed([&] {
            s.tab->DBGrid_BuhHistoryTitleBtnClick(QStringLiteral("ORGANIZATION_NAME"));
        }));
        // What a fetched row costs: the whole list read into memory.
        const long before = statusValueKb("VmRSS:");
        QElapsedTimer timer;
        timer.start();
        s.tab->qBuhAccShed->fetchAll();
        const double fetchMs = timer.nsecsElapsed() / 1e6;
        const long after = statusValueKb("VmRSS:");
        const int rows = s.tab->qBuhAccShed->rowCount();
        std::printf("fetch_all_rows=%d\nfetch_all_ms=%.1f\nbytes_per_row=%.0f\n", rows, fetchMs,
                    rows > 0 ? (after - before) * 1024.0 / rows : 0.0);
    }
    {
        Session s(large);
        std::printf("first_rows_ms_%d=%.1f\n", entries,
                    s.timed([&] { s.tab->PM_BuhAcc_CreateClick(); }));
        std::printf("stats_ms=%.1f\n", s.timed([&] { s.tab->Btn_GetStatisicClick(); }));
        std::printf("stats_total=%s\n",
                    s.tab->Panel_Statistc->Label_BuhCount->text().toUtf8().constData());
    }
    {
        // Destructive runs work on copies of the smaller database.
        Session s(workCopy(smallDb, QStringLiteral("delete_all.fdb")));
        s.tab->PM_BuhAcc_CreateClick();
        s.tab->qBuhAccShed->setCurrentRow(5);
        std::printf("mark_ms=%.2f\n", s.timed([&] { s.tab->PM_BuhAcc_SetClick(); }));
        deleteAllMs = s.timed([&] { s.tab->PM_BuhAcc_DelAllClick(); });
        std::printf("delete_all_ms=%.1f\n", deleteAllMs);
    }
    {
        Session s(workCopy(smallDb, QStringLiteral("delete_rows.fdb")));
        s.tab->PM_BuhAcc_CreateClick();
        const int sample = 1000;
        fb::Dataset& list = *s.tab->qBuhAccShed;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < sample && list.rowCount() > 0; ++i) {
            list.first();
            list.deleteCurrent(); // one statement and one commit per row
        }
        const double perRowMs = timer.nsecsElapsed() / 1e6 / sample;
        std::printf("delete_per_row_ms=%.3f\ndelete_per_row_scaled_ms=%.1f\n", perRowMs,
                    perRowMs * small);
        std::printf("delete_speedup_over_per_row=%.1f\n", perRowMs * small / deleteAllMs);
    }
    std::printf("peak_rss_mb=%.1f\n", statusValueKb("VmHWM:") / 1024.0);
    return 0;
}
