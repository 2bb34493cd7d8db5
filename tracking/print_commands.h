#pragma once

#include "status/entry_status.h"

#include <QList>
#include <QString>

class Clock;
class Dialogs;
class QWidget;
class ScheduleTab;
class TBuhOrgOperationsForm;
namespace fb {
class Dataset;
}

// Printing of the two schedule windows through report templates the user can edit: the list
// the window shows goes to the preview with the filters and counters written into the
// template's named text objects, and a second command opens the designer on the template.
namespace printing {

// A text object of a template and what the window writes into it.
struct Variable {
    QString object;
    QString text;
};

// What a print works on: the window, its list and the data set name its templates read.
struct PrintTarget {
    QWidget* owner = nullptr;
    Dialogs* dialogs = nullptr;
    fb::Dataset* list = nullptr;
    const Clock* clock = nullptr;
    ScheduleWindow which = ScheduleWindow::ScheduleTab;
    QString dataSetName;
};

// The template files beside the program.
inline const char kListTemplate[] = "Buh_Account_list.fr3";
inline const char kTableTemplate[] = "Buh_Account_V.fr3";
inline const char kOperationsListTemplate[] = "Buh_Account_Org.fr3";
inline const char kOperationsTableTemplate[] = "Buh_Account_V2.fr3";

// The program folder's Makets/ folder followed by the file name.
QString templatePath(const QString& fileName);

// The texts the windows write into their templates, in the order they are written.
QList<Variable> scheduleTabVariables(const ScheduleTab& tab, bool table);
QList<Variable> operationsVariables(const TBuhOrgOperationsForm& form);

// Shows the window's list in the preview through the template; refuses an empty list, reports
// a template that cannot be used, and leaves the list on the row it was on.
void printList(const PrintTarget& target, const QString& path, const QList<Variable>& variables);
// Opens the designer modally on the template (an empty report when the file is missing).
void editTemplate(const PrintTarget& target, const QString& path);

// The commands of the windows' print menus, each an action named as the windows name them.
void installSchedulePrinting(ScheduleTab& tab);
void installOperationsPrinting(TBuhOrgOperationsForm& form);

} // namespace printing
