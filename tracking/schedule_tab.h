#pragma once

#include "store/schedule_list.h"

#include <QWidget>

#include <memory>
#include <optional>

struct BooksEnvironment;
class BusyIndicator;
class ButtonEdit;
class StatisticsPanel;
class SubmissionMarking;
class DataGrid;
class DatasetModel;
class Dialogs;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QSplitter;
class QToolButton;
class SpinEdit;
class Clock;
namespace fb {
class Attachment;
class Dataset;
class Error;
} // namespace fb

// The tab "Расписание сдачи": the filters on the left, the schedule grid on the right with the
// detail panel and the accountant's comment below it. The list stays closed until "Показать
// расписание отчётов ..." builds its statement from the filters; counts, deletions and sorting
// then work on exactly the rows of that statement.
class ScheduleTab : public QWidget {
    Q_OBJECT
public:
    ScheduleTab(fb::Attachment& attachment, Dialogs* dialogs, const Clock& clock,
                QWidget* parent = nullptr);
    ~ScheduleTab() override;

    // The pickers and the busy indicator come with the main window's environment.
    void setBooksEnvironment(BooksEnvironment* env);

    fb::Dataset* qBuhAccShed = nullptr;
    DatasetModel* model = nullptr;
    DataGrid* DBGrid_BuhHistory = nullptr;

    QWidget* Panel_BuhParams = nullptr;
    QToolButton* TBtn_BuhAccShedAction = nullptr;
    StatisticsPanel* Panel_Statistc = nullptr;
    ButtonEdit* CE_BuhAccounts = nullptr;
    QRadioButton* RBtn_BuhAllDB = nullptr;
    QRadioButton* RBtn_BuhDT = nullptr;
    QComboBox* CB_BuhMonth_Begin = nullptr;
    QComboBox* CB_BuhMonth_End = nullptr;
    SpinEdit* SE_BuhYear_Begin = nullptr;
    SpinEdit* SE_BuhYear_End = nullptr;
    QCheckBox* CB_Buh_NeSdan = nullptr;
    QCheckBox* CB_Buh_Warning = nullptr;
    QCheckBox* CB_Buh_Alarm_NeSdan = nullptr;
    QCheckBox* CB_Buh_Sdan = nullptr;
    QCheckBox* CB_Buh_Alarm_Sdan = nullptr;
    QCheckBox* CB_Buh_Alarm_Podozrenue = nullptr;
    QRadioButton* RBtn_BuhOrg_All = nullptr;
    QRadioButton* RBtn_BuhOrg_One = nullptr;
    ButtonEdit* CB_BuhOrg = nullptr;
    QWidget* Panel_ReportBottom = nullptr;
    QWidget* Panel_Podrobno = nullptr;
    QPlainTextEdit* Memo_BuhAccComments = nullptr;
    QSplitter* bottomSplitter = nullptr;
    QSplitter* detailSplitter = nullptr;

    QMenu* PM_BuhAccShed = nullptr;
    QAction* PM_BuhAcc_Create = nullptr;
    QAction* PM_BuhAcc_Set = nullptr;
    QAction* PM_BuhAcc_Cancel = nullptr;
    QAction* MenuItem1 = nullptr;
    QAction* PM_BuhAcc_DelAll = nullptr;
    QMenu* PM_BuhAcc_Print = nullptr;

    // The detail values by label name (Label_DT_End_Account, ...).
    QLabel* detailValue(const QString& name) const;

    // Filter values of the two pickers.
    int reportFilterValue() const { return m_reportId; }
    int organisationFilterValue() const { return m_organisationId; }
    // The sort column (blue title) and its direction.
    const QString& sortField() const { return m_sortField; }
    bool sortAscending() const { return m_sortAscending; }
    // The services the tab's commands use.
    Dialogs* dialogs() const { return m_dialogs; }
    const Clock& clock() const { return m_clock; }
    // The statement of the list shown, if one is open.
    const std::optional<store::ScheduleStatement>& listStatement() const { return m_list; }

    // Handlers.
    void PM_BuhAcc_CreateClick();
    void PM_BuhAcc_SetClick();
    void PM_BuhAcc_CancelClick();
    void MenuItem1Click();
    void PM_BuhAcc_DelAllClick();
    void PM_BuhAccShedPopup();
    void Btn_GetStatisicClick();
    void CE_BuhAccountsButtonClick();
    void CB_BuhOrgButtonClick();
    void RBtn_BuhAllDBClick();
    void RBtn_BuhDTClick();
    void RBtn_BuhOrg_AllClick();
    void RBtn_BuhOrg_OneClick();
    void CB_BuhCombo_for_All();
    void CB_Buh_Click_for_All();
    void DBGrid_BuhHistoryTitleBtnClick(const QString& field);

private:
    QWidget* buildFilters();
    QWidget* buildDetails();
    void buildMenu();
    void connectHandlers();
    void closeList();
    void qBuhAccShedAfterClose();
    void qBuhAccShedEndScroll();
    bool listHasRows() const;
    store::ScheduleFilter currentFilter() const;
    std::optional<store::ScheduleSort> chosenSort() const;
    // Opens the list of the statement; false when the database refused.
    bool openList(const store::ScheduleStatement& statement);
    void showDatabaseError(const fb::Error& error);
    void paintPeriodControls(bool enabled);

    fb::Attachment& m_attachment;
    Dialogs* m_dialogs;
    const Clock& m_clock;
    BooksEnvironment* m_env = nullptr;
    std::unique_ptr<SubmissionMarking> m_marking;
    QList<QLabel*> m_detailValues;
    int m_reportId = -1;
    int m_organisationId = -1;
    QString m_sortField = QStringLiteral("DT_ACTION");
    bool m_sortAscending = false; // the first click on the deadline title sorts ascending
    bool m_userSorted = false;    // a sort chosen by a click applies to every new list
    std::optional<store::ScheduleFilter> m_listFilter;
    std::optional<store::ScheduleStatement> m_list;
    QDate m_listToday;
};
