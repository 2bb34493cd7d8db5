#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The schedule list of the main window and of the command-line tool: its filter, the statement
// built from it, and the row statements of the list. Plain values and text, no widgets.
namespace store {

// Statements longer than this are refused before they reach the engine.
inline constexpr int kStatementLimit = 65000;

// What the user chose in the filters. Months are 1..12.
struct ScheduleFilter {
    int reportId = -1; // -1 any report
    bool allDates = false;
    int beginMonth = 1;
    int beginYear = 2017;
    int endMonth = 12;
    int endYear = 2017;
    // The status conditions of the chosen statuses, in the order the filter lists them; they may
    // use the parameter TODAY. Not used when every status is chosen (then rows that no status
    // condition would admit are listed too).
    bool everyStatus = true;
    QStringList statusConditions;
    bool oneOrganisation = false;
    int organisationId = -1; // in one-organisation mode; -1 none chosen
};

enum class ScheduleFilterError { None, NoStatus, NoOrganisation, BeginAfterEnd, TooLong };

// The inclusive range of deadlines: the first day of the begin month to the last day of the end
// month.
QDate periodBegin(const ScheduleFilter& filter);
QDate periodEnd(const ScheduleFilter& filter);

// Order of the list by one field of the select list; no sort is the order by deadline.
struct ScheduleSort {
    QString field;
    bool ascending = true;
};

// A list statement with its parameters, and its conditions once more in parts, so that counts
// and deletions can cover exactly the rows of the list without looking up a report and an
// organisation for every row: rowConditions are those over BUH_HISTORY and BUH_ACCOUNT (each
// line but the first begins with AND), userCondition the one over ORGANIZATION (beginning with
// AND); allOrganisations says that the list admits the entries of every existing organisation
// and those of organisation -1, nothing else.
struct ScheduleStatement {
    QString sql;
    QString rowConditions;
    QString userCondition;
    bool allOrganisations = false;
    QHash<QString, QVariant> params;
};

struct ScheduleBuild {
    ScheduleFilterError error = ScheduleFilterError::None;
    ScheduleStatement statement;
};

// Checks the filter in the order the user is told about it and builds the statement. today is
// the client's date that the status conditions compare with (parameter TODAY).
ScheduleBuild buildScheduleStatement(const ScheduleFilter& filter, const QDate& today,
                                     const std::optional<ScheduleSort>& sort = std::nullopt);

// The select list and joins that head every schedule statement, ending with the line WHERE.
QString scheduleHead();
// Re-reads one row of the list (parameter OLD_ID).
QString scheduleRefreshSql();
// Writes the submission mark of the main window's list; the database stamps DT_ADD_RECORD.
QString scheduleUpdateSql();
QString scheduleDeleteSql();

// The SQL expression a field of the select list is ordered by; empty for an unknown field.
QString sortExpression(const QString& field);

bool exceedsStatementLimit(const QString& sql);

} // namespace store
