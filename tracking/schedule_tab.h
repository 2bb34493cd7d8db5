#pragma once

#include <QWidget>

class ButtonEdit;
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
} // namespace fb

// The tab "Расписание сдачи": the filters on the left, the schedule grid on the right with the
// detail panel and the accountant's comment below it.
class ScheduleTab : public QWidget {
    Q_OBJECT
public:
    ScheduleTab(fb::Attachment& attachment, Dialogs* dialogs, const Clock& clock,
                QWidget* parent = nullptr);
    ~ScheduleTab() override;

    fb::Dataset* qBuhAccShed = nullptr;
    DatasetModel* model = nullptr;
    DataGrid* DBGrid_BuhHistory = nullptr;

    QWidget* Panel_BuhParams = nullptr;
    QToolButton* TBtn_BuhAccShedAction = nullptr;
    QLineEdit* Edit_Search = nullptr;
    QWidget* Panel_Statistc = nullptr;
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

private:
    QWidget* buildFilters(const Clock& clock);
    QWidget* buildDetails();
    void buildMenu();

    QList<QLabel*> m_detailValues;
};
