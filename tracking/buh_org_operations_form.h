#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

struct BooksEnvironment;
class ButtonEdit;
class DataGrid;
class DatasetModel;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class SpinEdit;
class SubmissionMarking;
namespace fb {
class Dataset;
}
namespace store {
struct ScheduleStatement;
}

// "Операции над бухгалтерскими отчётами": the schedule of one organisation, limited to the
// reports assigned to it now, with three automatic counters and the two marking commands.
class TBuhOrgOperationsForm : public QDialog {
    Q_OBJECT
public:
    TBuhOrgOperationsForm(BooksEnvironment& env, int organisationId,
                          const QString& organisationName, QWidget* parent = nullptr);
    ~TBuhOrgOperationsForm() override;

    // Opens the window over owner for the organisation, its list already read, modally.
    static void open(BooksEnvironment& env, int organisationId, const QString& organisationName,
                     QWidget* owner);

    // Reads the IDs of the reports assigned to the organisation; false when there are none.
    bool LoadOrgAccountIds();
    const QStringList& assignedReportIds() const { return m_reportIds; }
    int organisationId() const { return m_organisationId; }
    int reportFilterValue() const { return m_reportId; }
    BooksEnvironment& environment() const { return m_env; }

    void SBtn_FilterClick();
    void SBtn_Acc_SetClick();
    void SBtn_Acc_CancelClick();
    void SBtn_Acc_PrintClick();
    void CE_BuhAccountsButtonClick();
    void done(int result) override;

    fb::Dataset* qBuhHistory = nullptr;
    DatasetModel* model = nullptr;
    QLabel* Label_Info2 = nullptr;
    ButtonEdit* CE_BuhAccounts = nullptr;
    QRadioButton* RBtn_Buh_SdanNesdan = nullptr;
    QRadioButton* RBtn_Buh_Sdan = nullptr;
    QRadioButton* RBtn_Buh_Nesdan = nullptr;
    QRadioButton* RBtn_BuhAllDB = nullptr;
    QRadioButton* RBtn_BuhDT = nullptr;
    QComboBox* CB_BuhMonth_Begin = nullptr;
    QComboBox* CB_BuhMonth_End = nullptr;
    SpinEdit* SE_BuhYear_Begin = nullptr;
    SpinEdit* SE_BuhYear_End = nullptr;
    QPushButton* SBtn_Filter = nullptr;
    QWidget* Panel_Warnings = nullptr;
    QLabel* Label_Warning_MinDays = nullptr;
    QLabel* Label_Warning_Alarm = nullptr;
    QLabel* Label_BuhCount = nullptr;
    DataGrid* DBGrid_BuhHistory = nullptr;
    QPlainTextEdit* Memo_BuhAccComments = nullptr;
    QPushButton* SBtn_Acc_Set = nullptr;
    QPushButton* SBtn_Acc_Cancel = nullptr;
    QPushButton* SBtn_Acc_Print = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QMenu* PM_Print = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader(const QString& organisationName);
    QWidget* buildFilters();
    QWidget* buildCounters();
    void buildGrid();
    void closeList();
    void CountOrgStatuses(const store::ScheduleStatement& list);
    void resetCounters();
    void paintPeriodControls(bool enabled);

    BooksEnvironment& m_env;
    int m_organisationId;
    int m_reportId = -1;
    QStringList m_reportIds;
    std::unique_ptr<SubmissionMarking> m_marking;
    bool m_centred = false;
};
