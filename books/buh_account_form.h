#pragma once

#include <QDialog>
#include <QStringList>

struct BooksEnvironment;
struct RunResult;
class DataGrid;
class DatasetModel;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSplitter;
class QToolButton;
class TBuhAccountAEForm;
namespace fb {
class Dataset;
}

// The reports directory. Opened from the main menu it manages the reports; other windows open
// it as a picker after hiding or disabling controls (see the opener's code) and read the
// radio buttons and the current row when it closes with OK.
class TBuhAccountForm : public QDialog {
    Q_OBJECT
public:
    explicit TBuhAccountForm(BooksEnvironment& env, QWidget* parent = nullptr);
    ~TBuhAccountForm() override;

    // Whether Btn_OK accepts an archived report (the schedule filter allows them).
    void setAllowArchived(bool allow) { m_allowArchived = allow; }
    bool allowArchived() const { return m_allowArchived; }
    // Shows only these reports (IDs as decimal texts); an empty list shows every report.
    void SetVisibleReportIds(const QStringList& ids);
    const QStringList& visibleReportIds() const { return m_visibleIds; }
    // Preselection by a picker's opener: "any report", or one report by its ID.
    void preselectAny();
    void preselectReport(int id);
    // The assignment picker has no schedule runs.
    void hideScheduleButtons();

    // The current row's ID (invalid when the list shows no rows) and NAME.
    QVariant selectedId() const;
    QString selectedName() const;

    fb::Dataset* qBuhAccount = nullptr;
    DatasetModel* model = nullptr;

    QWidget* ToolBar_Main = nullptr;
    QToolButton* TBtn_Add = nullptr;
    QToolButton* TBtn_Chng = nullptr;
    QToolButton* TBtn_Off = nullptr;
    QToolButton* TBtn_Del = nullptr;
    QFrame* TBtn_Sep_02 = nullptr;
    QToolButton* TBtn_CreateHistory_One = nullptr;
    QToolButton* TBtn_CreateHistory = nullptr;
    QLabel* Label_Help = nullptr;
    QLabel* Label_Help_2 = nullptr;
    QLabel* Label_Header = nullptr;
    QLabel* Label_Info2 = nullptr;
    QRadioButton* RBtn_Any = nullptr;
    QRadioButton* RBtn_None = nullptr;
    QRadioButton* RBtn_Select = nullptr;
    QLineEdit* Edit_Search = nullptr;
    QSplitter* Splitter_Comments = nullptr;
    DataGrid* DBGrid_BuhAccount = nullptr;
    QWidget* Panel_Comments = nullptr;
    QPlainTextEdit* Memo_Comments = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    void TBtn_AddClick();
    void TBtn_ChngClick();
    void TBtn_DelClick();
    void TBtn_OffClick();
    void TBtn_CreateHistoryClick();
    void TBtn_CreateHistory_OneClick();
    void Label_HelpClick();
    void Label_Help_2Click();
    void RBtn_AnyClick();
    void RBtn_SelectClick();
    void Btn_OKClick();
    void DBGrid_BuhAccountDblClick();

    // The balloon texts of the two help labels.
    static QString helpText();
    static QString help2Text();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolBar();
    void qBuhAccountAfterScroll();
    void applyFilter();
    bool hasRows() const;
    // Posts the dialog's values into a new row (append) or the current one (edit); on failure
    // the change is dropped and the error box is shown.
    bool postReport(const TBuhAccountAEForm& form, bool inserting, int shownDayWarning = 0);
    // Runs generation for one report (or -1 for all) under the busy indicator.
    RunResult generate(int reportId);
    void createHistory(int reportId, const QString& question);
    void refreshAssignments();

    BooksEnvironment& m_env;
    QStringList m_visibleIds;
    bool m_allowArchived = false;
    int m_commentsHeight = -1; // restored height of Panel_Comments, applied when shown
};
