// sroko-cli: the schedule engine for administrators and scripts. Keywords and messages are in
// English so that scripts do not depend on the language; names and status texts from the
// database are printed as they are, in UTF-8.

#include "cli_print.h"
#include "cli_service.h"
#include "core/clock.h"
#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schedule/holiday_map.h"
#include "schedule/periods.h"
#include "schedule/schedule_correction.h"
#include "schedule/schedule_engine.h"
#include "status/entry_status.h"
#include "status/schedule_filter.h"
#include "status/schedule_statistics.h"
#include "store/database_creator.h"
#include "store/schedule_list.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitRunFailed = 1; // the run reported failures or was refused as a whole
constexpr int kExitUsage = 2;     // bad arguments, unreadable files, unusable database

const char kUsage[] =
    "Usage:\n"
    "  sroko-cli deadlines --cycling N --day-action N [--day-action-12 N]\n"
    "                      [--today YYYY-MM-DD] [--holidays FILE]\n"
    "      One line per period of the year: <period end> <unshifted deadline>\n"
    "      <shifted deadline> scheduled|skipped. Periodicity 0 month, 1 quarter, 2 year.\n"
    "      FILE holds one mark a line, \"DD.MM 0\" (holiday) or \"DD.MM 1\" (working\n"
    "      weekend day); '#' starts a comment.\n"
    "  sroko-cli generate --db PATH [--report ID] [--today YYYY-MM-DD]\n"
    "      Generates the schedule of all switched-on assignments (or of one report)\n"
    "      and prints: stored N failed M\n"
    "  sroko-cli correct --db PATH [--today YYYY-MM-DD]\n"
    "      Recomputes the deadlines of the year after a calendar change and prints:\n"
    "      changed N\n"
    "  sroko-cli due --db PATH [--today YYYY-MM-DD]\n"
    "      Lists entries not submitted that are overdue or in their warning days:\n"
    "      <deadline> TAB <status> TAB <organisation> TAB <report>\n"
    "  sroko-cli list --db PATH [FILTERS]\n"
    "      The schedule list of the main window, one line per entry, TAB-separated:\n"
    "      <ID> <period end> <deadline> <submission date or empty> month|quarter|year\n"
    "      <report> <organisation> <status>\n"
    "  sroko-cli stats --db PATH [FILTERS]\n"
    "      The statistics of that list: Warning=N AlarmNeSdan=N AlarmSdan=N\n"
    "      AlarmPodozrenue=N total=N, one per line.\n"
    "    FILTERS: --from YYYY-MM --to YYYY-MM (deadlines from the first day of the one\n"
    "      month to the last day of the other; default the year of --today) or\n"
    "      --all-dates; --report ID; --org ID (one organisation; default every\n"
    "      organisation and the entries without one); --status LIST (comma-separated\n"
    "      of NeSdan, Warning, AlarmNeSdan, Sdan, AlarmSdan, AlarmPodozrenue; default\n"
    "      all); --today YYYY-MM-DD.\n"
    "  sroko-cli print --db PATH --template FILE --format pdf|xlsx|txt|html --out FILE\n"
    "                  [FILTERS] [--stats]\n"
    "      The schedule list printed through a report template (such as\n"
    "      Makets/Buh_Account_list.fr3) into a file; --stats fills the counters.\n"
    "  sroko-cli --help\n"
    "Dates are YYYY-MM-DD; --today defaults to the system date.\n"
    "Exit codes: 0 done, 1 the run reported failures, 2 bad arguments or database.\n";

// A message for the user that ends the program with an exit code.
struct Failure {
    int code;
    QString message;
};

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

void printLine(const QString& text) {
    print(stdout, text + QLatin1Char('\n'));
}

QString isoDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

class Options {
public:
    Options(const QStringList& args, const QSet<QString>& allowed) {
        for (int i = 0; i < args.size(); ++i) {
            QString name = args.at(i);
            QString value;
            if (!name.startsWith(QLatin1String("--")))
                throw Failure{kExitUsage, QStringLiteral("unexpected argument \"%1\"").arg(name)};
            const int eq = name.indexOf(QLatin1Char('='));
            if (eq > 0) {
                value = name.mid(eq + 1);
                name = name.left(eq);
            } else if (i + 1 < args.size()) {
                value = args.at(++i);
            } else {
                throw Failure{kExitUsage, QStringLiteral("option %1 needs a value").arg(name)};
            }
            if (!allowed.contains(name))
                throw Failure{kExitUsage, QStringLiteral("unknown option %1").arg(name)};
            if (m_values.contains(name))
                throw Failure{kExitUsage, QStringLiteral("option %1 given twice").arg(name)};
            m_values.insert(name, value);
        }
    }

    std::optional<QString> text(const QString& name) const {
        const auto it = m_values.constFind(name);
        if (it == m_values.constEnd())
            return std::nullopt;
        return *it;
    }

    QString requiredText(const QString& name) const {
        const std::optional<QString> value = text(name);
        if (!value || value->isEmpty())
            throw Failure{kExitUsage, QStringLiteral("option %1 is required").arg(name)};
        return *value;
    }

    std::optional<int> integer(const QString& name) const {
        const std::optional<QString> value = text(name);
        if (!value)
            return std::nullopt;
        bool ok = false;
        const int number = value->toInt(&ok);
        if (!ok)
            throw Failure{
                kExitUsage,
                QStringLiteral("option %1 needs a whole number, not \"%2\"").arg(name, *value)};
        return number;
    }

    int requiredInteger(const QString& name) const {
        requiredText(name);
        return *integer(name);
    }

    // --today, or the system date.
    QDate today() const {
        const std::optional<QString> value = text(QStringLiteral("--today"));
        if (!value)
            return QDate::currentDate();
        const QDate date = QDate::fromString(*value, QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
            throw Failure{
                kExitUsage,
                QStringLiteral("--today needs a date YYYY-MM-DD, not \"%1\"").arg(*value)};
        return date;
    }

private:
    QMap<QString, QString> m_values;
};

// One mark a line, "DD.MM 0" or "DD.MM 1"; '#' starts a comment; blank lines are ignored. Marks
// go into the map in file order, as rows of BUH_HOLIDAY would.
HolidayMap readHolidayFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Failure{
            kExitUsage,
            QStringLiteral("cannot read holiday file %1: %2").arg(path, file.errorString())};
    static const QRegularExpression mark(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\s+([01])$"));
    HolidayMap map;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        const int hash = line.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch m = mark.match(line);
        const int day = m.hasMatch() ? m.captured(1).toInt() : 0;
        const int month = m.hasMatch() ? m.captured(2).toInt() : 0;
        // 29.02 is a real day (of leap years); 31.04 is not.
        if (!m.hasMatch() || !QDate(2024, month, day).isValid())
            throw Failure{
                kExitUsage,
                QStringLiteral("%1:%2: bad holiday line \"%3\" (expected DD.MM 0 or DD.MM "
                               "1)")
                    .arg(path)
                    .arg(i + 1)
                    .arg(lines.at(i).trimmed())};
        map.addRow(day, month, m.captured(3).toInt());
    }
    return map;
}

int runDeadlines(const Options& options) {
    const int cycling = options.requiredInteger(QStringLiteral("--cycling"));
    const int dayAction = options.requiredInteger(QStringLiteral("--day-action"));
    const int dayAction12 =
        options.integer(QStringLiteral("--day-action-12")).value_or(kDayAction12NotSet);
    const QDate today = options.today();
    const std::optional<QString> holidayFile = options.text(QStringLiteral("--holidays"));
    const HolidayMap holidays = holidayFile ? readHolidayFile(*holidayFile) : HolidayMap();

    for (const PeriodPlan& plan :
         planPeriods(cycling, dayAction, dayAction12, today.year(), today, holidays)) {
        printLine(
            QStringLiteral("%1 %2 %3 %4")
                .arg(isoDate(plan.periodEnd), isoDate(plan.unshifted), isoDate(plan.shifted),
                     plan.scheduled ? QStringLiteral("scheduled") : QStringLiteral("skipped")));
    }
    return kExitOk;
}

std::unique_ptr<fb::Attachment> openDatabase(const Options& options) {
    const QString path = options.requiredText(QStringLiteral("--db"));
    if (!QFileInfo(path).isFile())
        throw Failure{kExitUsage, QStringLiteral("database not found: %1").arg(path)};
    auto attachment = std::make_unique<fb::Attachment>();
    try {
        attachment->attach(QFileInfo(path).absoluteFilePath(),
                           database_creator::connectionParams());
    } catch (const fb::Error& e) {
        throw Failure{
            kExitUsage,
            QStringLiteral("cannot open the database %1: %2").arg(path, e.message().trimmed())};
    }
    return attachment;
}

int runGenerate(const Options& options) {
    const std::optional<int> report = options.integer(QStringLiteral("--report"));
    FixedClock clock;
    clock.setToday(options.today());
    std::unique_ptr<fb::Attachment> attachment = openDatabase(options);
    if (report) {
        fb::Transaction transaction(*attachment, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(transaction,
                            QStringLiteral("SELECT DEL FROM BUH_ACCOUNT WHERE ID = :ID"));
        query.setParam(QStringLiteral("ID"), *report);
        query.open();
        if (!query.fetch())
            throw Failure{kExitUsage, QStringLiteral("no report with ID %1").arg(*report)};
    }

    ScheduleEngine engine(*attachment, clock);
    const RunResult result = engine.CreateBuhHistoryForAccount(report.value_or(-1));
    printLine(QStringLiteral("stored %1 failed %2").arg(result.stored).arg(result.failed));
    if (result.endedEarly)
        print(stderr, QStringLiteral("the run ended early\n"));
    if (!result.lastErrorText.isEmpty())
        print(stderr, QStringLiteral("last error: %1\n").arg(result.lastErrorText.trimmed()));
    return result.clean() ? kExitOk : kExitRunFailed;
}

int runCorrect(const Options& options) {
    FixedClock clock;
    clock.setToday(options.today());
    std::unique_ptr<fb::Attachment> attachment = openDatabase(options);
    HolidayMap holidays;
    const CorrectionResult result = correctSchedule(*attachment, clock, holidays);
    if (!result.ok) {
        print(stderr, QStringLiteral("correction failed, nothing was changed: %1\n")
                          .arg(result.errorText.trimmed()));
        return kExitRunFailed;
    }
    printLine(QStringLiteral("changed %1").arg(result.changed));
    return kExitOk;
}

int runDue(const Options& options) {
    const QDate today = options.today();
    std::unique_ptr<fb::Attachment> attachment = openDatabase(options);
    const QSet<BuhEntryStatus> due = {BuhEntryStatus::AlarmNeSdan, BuhEntryStatus::Warning};
    const QString sql =
        QStringLiteral(
            "SELECT BUH_HISTORY.ID, BUH_HISTORY.DT_ACTION, BUH_HISTORY.DT_ACTUAL, "
            "BUH_HISTORY.DT_ADD_RECORD, BUH_ACCOUNT.DAY_WARNING, BUH_HISTORY.CYCLING, "
            "BUH_HISTORY.DT_END_ACCOUNT, ORGANIZATION.NAME, BUH_ACCOUNT.NAME FROM BUH_HISTORY "
            "LEFT JOIN BUH_ACCOUNT ON BUH_ACCOUNT.ID = BUH_HISTORY.BUH_ACCOUNT_ID "
            "LEFT JOIN ORGANIZATION ON ORGANIZATION.ID = BUH_HISTORY.ORGANIZATION_ID WHERE %1 "
            "ORDER BY BUH_HISTORY.DT_ACTION, ORGANIZATION.NAME, BUH_ACCOUNT.NAME")
            .arg(statusFilterSql(due, QStringLiteral("DATE '%1'").arg(isoDate(today))));

    fb::Transaction transaction(*attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(transaction, sql);
    query.open();
    const QDateTime now(today, QTime(12, 0));
    while (query.fetch()) {
        const BuhEntry entry =
            buhEntryFrom([&](const QString& field) { return query.value(field); });
        printLine(QStringLiteral("%1\t%2\t%3\t%4")
                      .arg(isoDate(entry.dtAction.date()),
                           statusText(entryStatus(entry, now, today)), query.value(7).toString(),
                           query.value(8).toString()));
    }
    transaction.commit();
    return kExitOk;
}

const QList<std::pair<BuhEntryStatus, const char*>>& statusNames() {
    static const QList<std::pair<BuhEntryStatus, const char*>> names{
        {BuhEntryStatus::NeSdan, "NeSdan"},
        {BuhEntryStatus::Warning, "Warning"},
        {BuhEntryStatus::AlarmNeSdan, "AlarmNeSdan"},
        {BuhEntryStatus::Sdan, "Sdan"},
        {BuhEntryStatus::AlarmSdan, "AlarmSdan"},
        {BuhEntryStatus::AlarmPodozrenue, "AlarmPodozrenue"}};
    return names;
}

QString statusName(std::optional<BuhEntryStatus> status) {
    for (const auto& [member, name] : statusNames()) {
        if (status && member == *status)
            return QString::fromLatin1(name);
    }
    return QString();
}

std::pair<int, int> yearMonth(const Options& options, const QString& name, int year, int month) {
    const std::optional<QString> value = options.text(name);
    if (!value)
        return {year, month};
    const QDate date =
        QDate::fromString(*value + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        throw Failure{kExitUsage,
                      QStringLiteral("%1 needs a month YYYY-MM, not \"%2\"").arg(name, *value)};
    return {date.year(), date.month()};
}

// The tab's filters from the options; the same statement builder as the tab.
store::ScheduleStatement scheduleStatement(const Options& options, bool allDates,
                                           const QDate& today,
                                           store::ScheduleFilter* filterOut = nullptr,
                                           QSet<BuhEntryStatus>* statusesOut = nullptr) {
    store::ScheduleFilter filter;
    filter.allDates = allDates;
    if (allDates &&
        (options.text(QStringLiteral("--from")) || options.text(QStringLiteral("--to"))))
        throw Failure{kExitUsage, QStringLiteral("--all-dates goes without --from and --to")};
    std::tie(filter.beginYear, filter.beginMonth) =
        yearMonth(options, QStringLiteral("--from"), today.year(), 1);
    std::tie(filter.endYear, filter.endMonth) =
        yearMonth(options, QStringLiteral("--to"), today.year(), 12);
    filter.reportId = options.integer(QStringLiteral("--report")).value_or(-1);
    if (const std::optional<int> org = options.integer(QStringLiteral("--org"))) {
        filter.oneOrganisation = true;
        filter.organisationId = *org;
    }
    QSet<BuhEntryStatus> statuses;
    if (const std::optional<QString> list = options.text(QStringLiteral("--status"))) {
        for (const QString& item : list->split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool known = false;
            for (const auto& [member, name] : statusNames()) {
                if (item.trimmed() == QLatin1String(name)) {
                    statuses.insert(member);
                    known = true;
                }
            }
            if (!known)
                throw Failure{kExitUsage, QStringLiteral("unknown status \"%1\"").arg(item)};
        }
    } else {
        for (const auto& entry : statusNames())
            statuses.insert(entry.first);
    }
    setFilterStatuses(filter, statuses);
    if (filterOut)
        *filterOut = filter;
    if (statusesOut)
        *statusesOut = statuses;
    const store::ScheduleBuild build = store::buildScheduleStatement(filter, today);
    switch (build.error) {
    case store::ScheduleFilterError::None:
        return build.statement;
    case store::ScheduleFilterError::NoStatus:
        throw Failure{kExitUsage, QStringLiteral("--status needs at least one status")};
    case store::ScheduleFilterError::NoOrganisation:
        throw Failure{kExitUsage, QStringLiteral("--org needs an organisation ID")};
    case store::ScheduleFilterError::BeginAfterEnd:
        throw Failure{kExitUsage, QStringLiteral("the period begins after it ends")};
    case store::ScheduleFilterError::TooLong:
        break;
    }
    throw Failure{kExitUsage, QStringLiteral("the statement is too long for the engine")};
}

QString cyclingKeyword(const QVariant& cycling) {
    switch (cycling.isNull() ? -1 : cycling.toInt()) {
    case 0:
        return QStringLiteral("month");
    case 1:
        return QStringLiteral("quarter");
    case 2:
        return QStringLiteral("year");
    default:
        return QString();
    }
}

QString isoDay(const QVariant& value) {
    return value.isNull() || !value.isValid() ? QString() : isoDate(value.toDateTime().date());
}

int runList(const Options& options, bool allDates) {
    const QDate today = options.today();
    const store::ScheduleStatement statement = scheduleStatement(options, allDates, today);
    std::unique_ptr<fb::Attachment> attachment = openDatabase(options);
    fb::Transaction transaction(*attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(transaction, statement.sql);
    for (const QString& name : query.paramNames())
        query.setParam(name, statement.params.value(name));
    query.open();
    const QDateTime now(today, QTime(12, 0));
    const auto field = [&](const char* name) { return query.value(QString::fromLatin1(name)); };
    while (query.fetch()) {
        BuhEntry entry;
        entry.id = field("ID");
        entry.dtAction = field("DT_ACTION").toDateTime();
        entry.dtActual = field("DT_ACTUAL").toDateTime();
        entry.dtAddRecord = field("DT_ADD_RECORD").toDateTime();
        entry.dayWarning = field("DAY_WARNING");
        entry.cycling = field("CYCLING");
        entry.dtEndAccount = field("DT_END_ACCOUNT").toDateTime().date();
        const QStringList columns{field("ID").toString(),
                                  isoDay(field("DT_END_ACCOUNT")),
                                  isoDay(field("DT_ACTION")),
                                  isoDay(field("DT_ACTUAL")),
                                  cyclingKeyword(entry.cycling),
                                  field("BUH_ACCOUNT_NAME").toString(),
                                  field("ORGANIZATION_NAME").toString(),
                                  statusName(entryStatus(entry, now, today))};
        printLine(columns.join(QLatin1Char('\t')));
    }
    transaction.commit();
    return kExitOk;
}

int runStats(const Options& options, bool allDates) {
    const QDate today = options.today();
    const store::ScheduleStatement statement = scheduleStatement(options, allDates, today);
    std::unique_ptr<fb::Attachment> attachment = openDatabase(options);
    const ScheduleStatistics s = countScheduleStatistics(*attachment, statement, today);
    printLine(QStringLiteral("Warning=%1").arg(s.warning));
    printLine(QStringLiteral("AlarmNeSdan=%1").arg(s.alarmNeSdan));
    printLine(QStringLiteral("AlarmSdan=%1").arg(s.alarmSdan));
    printLine(QStringLiteral("AlarmPodozrenue=%1").arg(s.suspicious));
    printLine(QStringLiteral("total=%1").arg(s.total));
    return kExitOk;
}

int runPrint(const Options& options, bool allDates, bool stats) {
    CliPrintJob job;
    job.today = options.today();
    job.stats = stats;
    job.templatePath = options.requiredText(QStringLiteral("--template"));
    job.format = options.requiredText(QStringLiteral("--format"));
    job.outPath = options.requiredText(QStringLiteral("--out"));
    if (!isPrintFormat(job.format))
        throw Failure{
            kExitUsage,
            QStringLiteral("--format needs pdf, xlsx, txt or html, not \"%1\"").arg(job.format)};
    job.statement = scheduleStatement(options, allDates, job.today, &job.filter, &job.statuses);
    std::unique_ptr<fb::Attachment> attachment = openDatabase(options);
    try {
        const int rows = runPrintJob(job, *attachment);
        printLine(QStringLiteral("printed %1 rows to %2").arg(rows).arg(job.outPath));
    } catch (const CliPrintError& e) {
        throw Failure{kExitUsage, e.message()};
    }
    return kExitOk;
}

int run(const QStringList& args) {
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        print(stdout, QString::fromLatin1(kUsage) + QString::fromLatin1(kServiceUsage));
        return kExitOk;
    }
    if (args.isEmpty())
        throw Failure{kExitUsage, QStringLiteral("no command given")};

    if (const std::optional<int> code = runServiceCommand(args))
        return *code;
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    const QString db = QStringLiteral("--db");
    const QString today = QStringLiteral("--today");
    if (command == QLatin1String("deadlines")) {
        return runDeadlines(Options(
            rest, {QStringLiteral("--cycling"), QStringLiteral("--day-action"),
                   QStringLiteral("--day-action-12"), today, QStringLiteral("--holidays")}));
    }
    if (command == QLatin1String("generate"))
        return runGenerate(Options(rest, {db, QStringLiteral("--report"), today}));
    if (command == QLatin1String("correct"))
        return runCorrect(Options(rest, {db, today}));
    if (command == QLatin1String("due"))
        return runDue(Options(rest, {db, today}));
    if (command == QLatin1String("list") || command == QLatin1String("stats")) {
        // The one option without a value.
        QStringList withValues = rest;
        const bool allDates = withValues.removeAll(QStringLiteral("--all-dates")) > 0;
        const Options options(withValues, {db, today, QStringLiteral("--from"),
                                           QStringLiteral("--to"), QStringLiteral("--report"),
                                           QStringLiteral("--org"), QStringLiteral("--status")});
        return command == QLatin1String("list") ? runList(options, allDates)
                                                : runStats(options, allDates);
    }
    if (command == QLatin1String("print")) {
        QStringList withValues = rest;
        const bool allDates = withValues.removeAll(QStringLiteral("--all-dates")) > 0;
        const bool stats = withValues.removeAll(QStringLiteral("--stats")) > 0;
        const Options options(withValues,
                              {db, today, QStringLiteral("--from"), QStringLiteral("--to"),
                               QStringLiteral("--report"), QStringLiteral("--org"),
                               QStringLiteral("--status"), QStringLiteral("--template"),
                               QStringLiteral("--format"), QStringLiteral("--out")});
        return runPrint(options, allDates, stats);
    }
    throw Failure{kExitUsage, QStringLiteral("unknown command \"%1\"").arg(command)};
}

} // namespace

int main(int argc, char** argv) {
    // Printing lays text out with fonts, which needs the GUI application; without a screen it
    // draws offscreen. The other commands stay on the core application.
    const bool printing = argc > 1 && std::strcmp(argv[1], "print") == 0;
    if (printing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (printing)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    try {
        return run(app->arguments().mid(1));
    } catch (const Failure& failure) {
        print(stderr, QStringLiteral("sroko-cli: %1\n").arg(failure.message));
        if (failure.code == kExitUsage)
            print(stderr, QStringLiteral("Try 'sroko-cli --help'.\n"));
        return failure.code;
    } catch (const fb::Error& e) {
        // A database error outside the runs' own reporting (reading the list of due entries).
        print(stderr, QStringLiteral("sroko-cli: database error: %1\n").arg(e.message().trimmed()));
        return kExitRunFailed;
    }
}
