// sroko-bench-generation: schedule generation over every assignment of a fresh database, against
// the same procedure calls made as cheaply as the engine allows (one prepared statement, one
// transaction) and against one calendar read per assignment with one commit per entry. Prints
// one key=value a line.

#include "core/clock.h"
#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schedule/holiday_map.h"
#include "schedule/periods.h"
#include "schedule/schedule_engine.h"
#include "store/database_creator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

struct Sizes {
    int organisations = 300;
    int reports = 40;
    int batchSize = ScheduleEngine::kDefaultBatchSize;
    // The design with a commit per entry takes minutes at full size: by default it is timed on
    // every 8th assignment and scaled to all entries. The sample's database stays smaller and
    // its commits cheaper, so the scaled figure errs on the fast side. 1 times everything.
    int naiveEvery = 8;
};

// A production calendar as accountants enter it: the New Year holidays, the public holidays
// with their moved days off, and one working Saturday.
struct Mark {
    int day, month, holidayWork;
};
constexpr Mark kCalendar[] = {
    {1, 1, 0},  {2, 1, 0},  {3, 1, 0},   {4, 1, 0},  {5, 1, 0},  {6, 1, 0},
    {7, 1, 0},  {8, 1, 0},  {23, 2, 0},  {24, 2, 0}, {8, 3, 0},  {10, 3, 0},
    {1, 5, 0},  {2, 5, 0},  {8, 5, 0},   {9, 5, 0},  {12, 6, 0}, {13, 6, 0},
    {3, 11, 0}, {4, 11, 0}, {31, 12, 0}, {1, 11, 1}, {27, 4, 1}, {28, 12, 1},
};

std::unique_ptr<fb::Attachment> connect(const QString& path) {
    auto attachment = std::make_unique<fb::Attachment>();
    attachment->attach(path, database_creator::connectionParams());
    return attachment;
}

// Every organisation has every report, switched on. Reports cycle through month, quarter and
// year; every other monthly and quarterly report has a special term for the year end.
void fillBooks(const QString& path, const Sizes& sizes) {
    auto attachment = connect(path);
    fb::Transaction tr(*attachment);
    fb::Statement organisation(
        tr, QStringLiteral("INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, "
                           "BUH_TAX_SYSTEM_ADDIT, USERS_ID) VALUES (:ID, :NAME, 0, 2, 0)"));
    for (int o = 1; o <= sizes.organisations; ++o) {
        organisation.setParam(QStringLiteral("ID"), o);
        organisation.setParam(QStringLiteral("NAME"), QStringLiteral("ООО Организация %1").arg(o));
        organisation.execute();
    }
    fb::Statement report(tr, QStringLiteral("INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, "
                                            "DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) VALUES "
                                            "(:ID, :NAME, :DAY_ACTION, :DAY_ACTION_12, :CYCLING, "
                                            ":DAY_WARNING, 0)"));
    const int dayActions[] = {15, 20, 25, 28, 30};
    for (int r = 1; r <= sizes.reports; ++r) {
        const int cycling = r % 3;
        report.setParam(QStringLiteral("ID"), r);
        report.setParam(QStringLiteral("NAME"), QStringLiteral("Отчётность %1").arg(r));
        report.setParam(QStringLiteral("DAY_ACTION"), cycling == 2 ? 90 : dayActions[r % 5]);
        report.setParam(QStringLiteral("DAY_ACTION_12"),
                        cycling != 2 && r % 2 == 0 ? QVariant(90) : QVariant());
        report.setParam(QStringLiteral("CYCLING"), cycling);
        report.setParam(QStringLiteral("DAY_WARNING"), 5);
        report.execute();
    }
    fb::Statement assignment(tr, QStringLiteral("INSERT INTO BUH_ACCOUNT_ORGANIZATION (ID, "
                                                "BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES "
                                                "(:ID, :REPORT, :ORG, 1)"));
    int id = 0;
    for (int o = 1; o <= sizes.organisations; ++o) {
        for (int r = 1; r <= sizes.reports; ++r) {
            assignment.setParam(QStringLiteral("ID"), ++id);
            assignment.setParam(QStringLiteral("REPORT"), r);
            assignment.setParam(QStringLiteral("ORG"), o);
            assignment.execute();
        }
    }
    fb::Statement holiday(tr, QStringLiteral("INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, "
                                             "MONTH_YEAR, HOLIDAY_WORK) VALUES (:NAME, :DAY, "
                                             ":MONTH, :WORK)"));
    for (const Mark& mark : kCalendar) {
        holiday.setParam(QStringLiteral("NAME"),
                         QStringLiteral("День %1.%2").arg(mark.day).arg(mark.month));
        holiday.setParam(QStringLiteral("DAY"), mark.day);
        holiday.setParam(QStringLiteral("MONTH"), mark.month);
        holiday.setParam(QStringLiteral("WORK"), mark.holidayWork);
        holiday.execute();
    }
    tr.commit();
}

std::vector<AssignmentTerms> readAssignments(fb::Transaction& tr) {
    fb::Statement query(tr, QString::fromLatin1(store::kSelAccountOrgSql));
    query.setParam(QStringLiteral("BUH_ACCOUNT_ID"), -1);
    query.open();
    std::vector<AssignmentTerms> all;
    while (query.fetch()) {
        all.push_back({query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt(),
                       query.value(3).toInt(), dayAction12FromDb(query.value(4))});
    }
    return all;
}

void callAddBuhHistory(fb::Statement& call, const AssignmentTerms& terms, const PeriodPlan& plan) {
    call.setParam(QStringLiteral("BUH_ACCOUNT_ID"), terms.reportId);
    call.setParam(QStringLiteral("ORGANIZATION_ID"), terms.organisationId);
    call.setParam(QStringLiteral("CYCLING"), terms.cycling);
    call.setParam(QStringLiteral("DT_END_ACCOUNT"), plan.periodEnd);
    call.setParam(QStringLiteral("DT_ACTION"), plan.shifted);
    call.execute();
}

struct Timing {
    int entries = 0;
    double seconds = 0;
};

Timing timeEngine(const QString& path, const Clock& clock, int batchSize) {
    auto attachment = connect(path);
    ScheduleEngine engine(*attachment, clock);
    engine.setBatchSize(batchSize);
    QElapsedTimer timer;
    timer.start();
    const RunResult result = engine.CreateBuhHistoryForAccount(-1, [](int) { return true; });
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!result.clean())
        throw std::runtime_error(
            QStringLiteral("engine run failed: %1").arg(result.lastErrorText).toStdString());
    return {result.stored, seconds};
}

// The same calls with nothing around them: assignments and calendar read beforehand, one
// prepared statement, one transaction, one commit.
Timing timeLimit(const QString& path, const Clock& clock) {
    auto attachment = connect(path);
    fb::Transaction reading(*attachment, fb::Transaction::Mode::ReadOnly);
    const std::vector<AssignmentTerms> assignments = readAssignments(reading);
    HolidayMap holidays;
    loadBuhHolidays(reading, holidays);
    reading.commit();

    const int year = clock.currentYear();
    const QDate today = clock.today();
    Timing timing;
    QElapsedTimer timer;
    timer.start();
    fb::Transaction tr(*attachment);
    fb::Statement call(tr, QString::fromLatin1(store::kAddBuhHistorySql));
    call.prepare();
    for (const AssignmentTerms& terms : assignments) {
        for (const PeriodPlan& plan : planPeriods(terms.cycling, terms.dayAction, terms.dayAction12,
                                                  year, today, holidays)) {
            if (!plan.scheduled)
                continue;
            callAddBuhHistory(call, terms, plan);
            ++timing.entries;
        }
    }
    tr.commit();
    timing.seconds = timer.nsecsElapsed() / 1e9;
    return timing;
}

// Generation as first designed: the calendar read again for every assignment, and every entry
// committed on its own. The call itself stays prepared, as a shared statement component would
// keep it. Only every `every`-th assignment is generated.
Timing timeNaive(const QString& path, const Clock& clock, int every) {
    auto attachment = connect(path);
    Timing timing;
    QElapsedTimer timer;
    timer.start();
    fb::Transaction reading(*attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement assignments(reading, QString::fromLatin1(store::kSelAccountOrgSql));
    assignments.setParam(QStringLiteral("BUH_ACCOUNT_ID"), -1);
    fb::Transaction tr(*attachment);
    fb::Statement call(tr, QString::fromLatin1(store::kAddBuhHistorySql));
    HolidayMap holidays;
    assignments.open();
    for (int row = 0; assignments.fetch(); ++row) {
        if (row % every != 0)
            continue;
        const AssignmentTerms terms{assignments.value(0).toInt(), assignments.value(1).toInt(),
                                    assignments.value(2).toInt(), assignments.value(3).toInt(),
                                    dayAction12FromDb(assignments.value(4))};
        loadBuhHolidays(tr, holidays);
        for (const PeriodPlan& plan : planPeriods(terms.cycling, terms.dayAction, terms.dayAction12,
                                                  clock.currentYear(), clock.today(), holidays)) {
            if (!plan.scheduled)
                continue;
            callAddBuhHistory(call, terms, plan);
            tr.commit();
            ++timing.entries;
        }
    }
    tr.commit();
    reading.commit();
    timing.seconds = timer.nsecsElapsed() / 1e9;
    return timing;
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

void printValue(const char* key, double value) {
    std::printf("%s=%.3f\n", key, value);
}

Sizes parseArgs(const QStringList& args) {
    Sizes sizes;
    for (int i = 0; i < args.size(); ++i) {
        const QString& name = args.at(i);
        int* target = name == QLatin1String("--orgs")          ? &sizes.organisations
                      : name == QLatin1String("--reports")     ? &sizes.reports
                      : name == QLatin1String("--batch")       ? &sizes.batchSize
                      : name == QLatin1String("--naive-every") ? &sizes.naiveEvery
                                                               : nullptr;
        bool ok = false;
        const int value = i + 1 < args.size() ? args.at(i + 1).toInt(&ok) : 0;
        if (!target || !ok || value < 1)
            throw std::invalid_argument(
                "usage: sroko-bench-generation [--orgs N] [--reports M] [--batch N] "
                "[--naive-every K]");
        *target = value;
        ++i;
    }
    return sizes;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        const Sizes sizes = parseArgs(app.arguments().mid(1));
        QTemporaryDir folder;
        if (!folder.isValid())
            throw std::runtime_error("cannot make a temporary folder");

        // One database built once and copied, so that all three runs start from the same file
        // with no entries in it.
        const QString origin = folder.filePath(QStringLiteral("origin.fdb"));
        database_creator::createDatabase(origin, false);
        fillBooks(origin, sizes);
        const QString engineDb = folder.filePath(QStringLiteral("engine.fdb"));
        const QString limitDb = folder.filePath(QStringLiteral("limit.fdb"));
        const QString naiveDb = folder.filePath(QStringLiteral("naive.fdb"));
        for (const QString& copy : {engineDb, limitDb, naiveDb}) {
            if (!QFile::copy(origin, copy))
                throw std::runtime_error("cannot copy the database");
        }
        QFile::remove(origin);

        // 1 January: every period of the year is still ahead.
        FixedClock clock;
        clock.setToday(QDate(QDate::currentDate().year(), 1, 1));

        const Timing engine = timeEngine(engineDb, clock, sizes.batchSize);
        const Timing limit = timeLimit(limitDb, clock);
        const Timing naive = timeNaive(naiveDb, clock, sizes.naiveEvery);
        if (engine.entries != limit.entries ||
            (sizes.naiveEvery == 1 && engine.entries != naive.entries))
            std::fprintf(stderr, "warning: entry counts differ (engine %d, limit %d, naive %d)\n",
                         engine.entries, limit.entries, naive.entries);
        const double naiveSeconds =
            naive.entries > 0 ? naive.seconds * engine.entries / naive.entries : 0.0;

        std::printf("organisations=%d\nreports=%d\nassignments=%d\n", sizes.organisations,
                    sizes.reports, sizes.organisations * sizes.reports);
        std::printf("entries=%d\n", engine.entries);
        std::printf("batch_size=%d\n", sizes.batchSize);
        printValue("engine_s", engine.seconds);
        printValue("limit_s", limit.seconds);
        std::printf("naive_sample=1/%d\nnaive_measured_entries=%d\n", sizes.naiveEvery,
                    naive.entries);
        printValue("naive_measured_s", naive.seconds);
        printValue("naive_s", naiveSeconds);
        printValue("engine_over_limit", engine.seconds / limit.seconds);
        printValue("engine_speedup_over_naive", naiveSeconds / engine.seconds);
        printValue("peak_rss_mb", peakRssMb());
        return 0;
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "database error: %s\n", e.message().toUtf8().constData());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 1;
}
