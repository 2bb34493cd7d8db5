#include "tracking/print_commands.h"

#include "books/books_environment.h"
#include "core/clock.h"
#include "fb/dataset.h"
#include "report/engine.h"
#include "report/report.h"
#include "report/template_file.h"
#include "report/ui/designer_window.h"
#include "report/ui/prepare_with_progress.h"
#include "report/ui/preview_window.h"
#include "tracking/buh_org_operations_form.h"
#include "tracking/dataset_row_source.h"
#include "tracking/schedule_tab.h"
#include "tracking/statistics_panel.h"
#include "widgets/button_edit.h"
#include "widgets/dialogs.h"
#include "widgets/spin_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QStyle>

#include <exception>

namespace printing {

namespace {

const QString kListCaption = QStringLiteral("Список бухгалтерских очётов");
const QString kEngineError = QStringLiteral("Непредвиденная ошибка при работе с FastReport.");
const QString kCommonAllDates = QStringLiteral("Все отчёты, хранящиеся в базе данных");

QString anyReportOr(int reportId, const ButtonEdit* edit) {
    return reportId == -1 ? QStringLiteral("Любая бухгалтерская отчётность") : edit->text();
}

QString period(const QRadioButton* allDates, const QString& allText, const QComboBox* beginMonth,
               const SpinEdit* beginYear, const QComboBox* endMonth, const SpinEdit* endYear) {
    if (allDates->isChecked())
        return allText;
    // The first letter is the Latin C, as the printed forms have always shown it.
    return QStringLiteral("C :  ") + beginMonth->currentText() + QLatin1Char(' ') +
           QString::number(beginYear->value()) + QStringLiteral("       По :  ") +
           endMonth->currentText() + QLatin1Char(' ') + QString::number(endYear->value());
}

// Binds the list to the report and the messages of the engine's windows to the dialogs service.
void bindList(report::Report& rep, const PrintTarget& target, const DatasetRowSource& rows) {
    rep.setDataSet(target.dataSetName, &rows);
}

void runPreview(report::PreparedReport&& prepared, const PrintTarget& target) {
    report::PreviewWindow preview(std::move(prepared), target.owner);
    preview.setObjectName(QStringLiteral("frxPreview"));
    Dialogs* dialogs = target.dialogs;
    preview.setMessageHandler([dialogs, &preview](const QString& text, bool isError) {
        if (isError)
            dialogs->error(&preview, text, preview.windowTitle());
        else
            dialogs->information(&preview, text, preview.windowTitle());
    });
    dialogs->exec(preview);
}

// Goes back to the row of that key unless the list is already on it.
void returnTo(fb::Dataset& list, const QVariant& id) {
    if (!list.isOpen() || !id.isValid() || id.isNull())
        return;
    if (list.currentRow() >= 0 && list.fieldValue(QStringLiteral("ID")) == id)
        return;
    list.locate(QStringLiteral("ID"), id);
}

QAction* addCommand(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

const QString kEditCaption = QStringLiteral("Отредактировать макет для печати");
const QString kListPrintCaption = QStringLiteral("Простой список отчётов");
const QString kTablePrintCaption =
    QStringLiteral("Печать в виде таблицы \"Организации - Отчётности\"");

} // namespace

QString templatePath(const QString& fileName) {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Makets/") + fileName;
}

QList<Variable> scheduleTabVariables(const ScheduleTab& tab, bool table) {
    QList<Variable> v;
    v.append({QStringLiteral("Memo_BuhAccounts"),
              anyReportOr(tab.reportFilterValue(), tab.CE_BuhAccounts)});
    v.append({QStringLiteral("Memo_BuhDT"),
              period(tab.RBtn_BuhAllDB, kCommonAllDates, tab.CB_BuhMonth_Begin,
                     tab.SE_BuhYear_Begin, tab.CB_BuhMonth_End, tab.SE_BuhYear_End)});
    v.append({QStringLiteral("Memo_BuhOrg"),
              tab.RBtn_BuhOrg_All->isChecked()
                  ? (table ? QStringLiteral("Отфильтрованные организации")
                           : QStringLiteral("Все организации"))
                  : QStringLiteral("Одна определённая организация - ") + tab.CB_BuhOrg->text()});
    // An unchecked box leaves the template's own text in its object.
    const QList<std::pair<const QCheckBox*, const char*>> flags{
        {tab.CB_Buh_NeSdan, "Memo_Buh_NeSdan"},
        {tab.CB_Buh_Warning, "Memo_Buh_Warning"},
        {tab.CB_Buh_Alarm_NeSdan, "Memo_Buh_Alarm_NeSdan"},
        {tab.CB_Buh_Sdan, "Memo_Buh_Sdan"},
        {tab.CB_Buh_Alarm_Sdan, "Memo_Buh_Alarm_Sdan"},
        {tab.CB_Buh_Alarm_Podozrenue, "Memo_Buh_Alarm_Podozrenue"}};
    for (const auto& [box, object] : flags)
        if (box->isChecked())
            v.append({QString::fromLatin1(object), QStringLiteral("Да")});
    const StatisticsPanel* s = tab.Panel_Statistc;
    v.append({QStringLiteral("Memo_Warning_MinDays"), s->Label_Warning_MinDays->text()});
    v.append({QStringLiteral("Memo_AlarmNeSdan"), s->Label_AlarmNeSdan->text()});
    v.append({QStringLiteral("Memo_AlarmSdan"), s->Label_AlarmSdan->text()});
    v.append({QStringLiteral("Memo_AlarmSdanPodozrit"), s->Label_AlarmSdanPodozrit->text()});
    v.append({QStringLiteral("Memo_BuhCount"), s->Label_BuhCount->text()});
    return v;
}

QList<Variable> operationsVariables(const TBuhOrgOperationsForm& form) {
    QList<Variable> v;
    v.append({QStringLiteral("Memo_BuhAccounts"),
              anyReportOr(form.reportFilterValue(), form.CE_BuhAccounts)});
    v.append({QStringLiteral("Memo_BuhDT"),
              period(form.RBtn_BuhAllDB,
                     kCommonAllDates + QStringLiteral("  ( только для прикреплённых к организации "
                                                      "отчётностей )"),
                     form.CB_BuhMonth_Begin, form.SE_BuhYear_Begin, form.CB_BuhMonth_End,
                     form.SE_BuhYear_End)});
    QString type;
    if (form.RBtn_Buh_SdanNesdan->isChecked())
        type = QStringLiteral("Любые - сданные и не сданные отчёты ");
    else if (form.RBtn_Buh_Sdan->isChecked())
        type = QStringLiteral("Только сданные отчёты");
    else
        type = QStringLiteral("Только не сданные отчёты");
    v.append({QStringLiteral("Memo_BuhType"), type});
    v.append({QStringLiteral("Memo_Warning_MinDays"), form.Label_Warning_MinDays->text()});
    v.append({QStringLiteral("Memo_AlarmNeSdan"), form.Label_Warning_Alarm->text()});
    v.append({QStringLiteral("Memo_BuhCount"), form.Label_BuhCount->text()});
    return v;
}

void printList(const PrintTarget& target, const QString& path, const QList<Variable>& variables) {
    fb::Dataset& list = *target.list;
    if (!list.isOpen() || list.isEmpty()) {
        target.dialogs->warning(target.owner,
                                QStringLiteral("Не могу напечатать отчет, так как нет данных."),
                                kListCaption);
        return;
    }
    // The engine reads rows by index and so never moves the current row: the detail panel
    // stays where it is while the rows are walked; the grid goes back to the row by its key in
    // case anything else moved it.
    const QVariant id = list.currentRow() >= 0 ? list.fieldValue(QStringLiteral("ID")) : QVariant();
    list.fetchAll();
    QString failure;
    try {
        const DatasetRowSource rows(list, *target.clock, target.which);
        report::Report rep;
        rep.load(path); // a missing file leaves the report empty
        for (const Variable& variable : variables)
            rep.setVariable(variable.object, variable.text);
        bindList(rep, target, rows);
        if (auto prepared = report::prepareWithProgress(rep, target.owner))
            runPreview(std::move(*prepared), target);
    } catch (const report::TemplateError& e) {
        failure = e.message();
    } catch (const report::Cancelled&) {
        // the user stopped the preparation; nothing to report
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = QStringLiteral("unknown error");
    }
    if (!failure.isNull()) {
        qWarning().noquote() << "Printing" << path << "failed:" << failure;
        target.dialogs->error(target.owner, kEngineError, kListCaption);
    }
    returnTo(list, id);
}

void editTemplate(const PrintTarget& target, const QString& path) {
    QString failure;
    try {
        const DatasetRowSource rows(*target.list, *target.clock, target.which);
        report::Report rep;
        rep.load(path);
        bindList(rep, target, rows);
        report::DesignerWindow designer(rep, path, target.owner);
        designer.setObjectName(QStringLiteral("frxDesigner"));
        Dialogs* dialogs = target.dialogs;
        designer.setMessageHandler([dialogs, &designer](const QString& text) {
            dialogs->error(&designer, text, designer.windowTitle());
        });
        designer.setPreviewRunner([target](report::PreparedReport&& prepared) {
            runPreview(std::move(prepared), target);
        });
        dialogs->exec(designer);
    } catch (const report::TemplateError& e) {
        failure = e.message();
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = QStringLiteral("unknown error");
    }
    if (!failure.isNull()) {
        qWarning().noquote() << "Opening the designer on" << path << "failed:" << failure;
        target.dialogs->error(target.owner, kEngineError, QStringLiteral("Ошибка FastReport"));
    }
}

void installSchedulePrinting(ScheduleTab& tab) {
    QMenu* menu = tab.PM_BuhAcc_Print;
    ScheduleTab* t = &tab;
    const auto target = [t] {
        return PrintTarget{t,
                           t->dialogs(),
                           t->qBuhAccShed,
                           &t->clock(),
                           ScheduleWindow::ScheduleTab,
                           QStringLiteral("frxDBD_BuhAcc")};
    };
    QObject::connect(
        addCommand(menu, "PM_BuhAcc_Print_ListEdit", kEditCaption), &QAction::triggered, t,
        [target] { editTemplate(target(), templatePath(QString::fromLatin1(kListTemplate))); });
    QObject::connect(addCommand(menu, "PM_BuhAcc_Print_ListPrint", kListPrintCaption),
                     &QAction::triggered, t, [t, target] {
                         printList(target(), templatePath(QString::fromLatin1(kListTemplate)),
                                   scheduleTabVariables(*t, false));
                     });
    menu->addSeparator();
    QObject::connect(
        addCommand(menu, "PM_BuhAcc_Print_VerticalEdit", kEditCaption), &QAction::triggered, t,
        [target] { editTemplate(target(), templatePath(QString::fromLatin1(kTableTemplate))); });
    QObject::connect(addCommand(menu, "PM_BuhAcc_Print_VerticalPrint", kTablePrintCaption),
                     &QAction::triggered, t, [t, target] {
                         printList(target(), templatePath(QString::fromLatin1(kTableTemplate)),
                                   scheduleTabVariables(*t, true));
                     });
}

void installOperationsPrinting(TBuhOrgOperationsForm& form) {
    QMenu* menu = form.PM_Print;
    TBuhOrgOperationsForm* f = &form;
    const auto target = [f] {
        BooksEnvironment& env = f->environment();
        return PrintTarget{f,
                           &env.dialogs,
                           f->qBuhHistory,
                           &env.clock,
                           ScheduleWindow::Operations,
                           QStringLiteral("frxDBD_BuhHistory")};
    };
    const auto print = [f, target](const char* file) {
        printList(target(), templatePath(QString::fromLatin1(file)), operationsVariables(*f));
    };
    const auto edit = [target](const char* file) {
        editTemplate(target(), templatePath(QString::fromLatin1(file)));
    };
    QObject::connect(addCommand(menu, "PM_Print_EditMaket", kEditCaption), &QAction::triggered, f,
                     [edit] { edit(kOperationsListTemplate); });
    QObject::connect(addCommand(menu, "PM_Print_Print", kListPrintCaption), &QAction::triggered, f,
                     [print] { print(kOperationsListTemplate); });
    menu->addSeparator();
    // The table pair is kept out of sight in this window's menu.
    QAction* tableEdit = addCommand(menu, "PM_BuhAcc_Print_VerticalEdit", kEditCaption);
    QAction* tablePrint = addCommand(menu, "PM_BuhAcc_Print_VerticalPrint", kTablePrintCaption);
    tableEdit->setVisible(false);
    tablePrint->setVisible(false);
    QObject::connect(tableEdit, &QAction::triggered, f, [edit] { edit(kOperationsTableTemplate); });
    QObject::connect(tablePrint, &QAction::triggered, f,
                     [print] { print(kOperationsTableTemplate); });
}

} // namespace printing
