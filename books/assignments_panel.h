#pragma once

#include <QWidget>

#include <functional>

struct BooksEnvironment;
struct RunResult;
class DataGrid;
class DatasetModel;
class Dialogs;
class QAction;
class QMenu;
class QToolButton;
namespace fb {
class Attachment;
class Dataset;
} // namespace fb

// The tab "Список отчётов для организации" of the main window: the reports assigned to the
// current organisation, each switched on or off, and the pop-up menu that changes them.
class AssignmentsPanel : public QWidget {
    Q_OBJECT
public:
    AssignmentsPanel(fb::Attachment& attachment, Dialogs* dialogs, QWidget* parent = nullptr);
    ~AssignmentsPanel() override;

    // Follows the organisations list: its current row's ID is the list's parameter.
    void setMaster(fb::Dataset* organizations);
    // Opens the list for the master's current organisation; throws fb::Error.
    void open();
    // The reports picker, the schedule engine and the services the actions need.
    void setBooksEnvironment(BooksEnvironment* env) { m_env = env; }
    // Opens the operations window of an organisation; the schedule windows sit above this
    // panel, so the main window supplies it.
    void setOperationsOpener(std::function<void(int organisationId, const QString& name)> open) {
        m_openOperations = std::move(open);
    }

    fb::Dataset* qBuhAccRep = nullptr;
    DatasetModel* model = nullptr;
    DataGrid* DBGrid_BuhAccount = nullptr;
    QToolButton* TBtn_BuhAccRepAction = nullptr;
    QToolButton* TBtn_BuhAccRepRefresh = nullptr;
    QMenu* PM_BuhAccRep = nullptr;
    QAction* PM_BuhAcc_Add = nullptr;
    QAction* PM_BuhAcc_Del = nullptr;
    QAction* PM_BuhAcc_On = nullptr;
    QAction* PM_BuhAcc_Off = nullptr;
    QAction* PM_BuhAcc_OnAll = nullptr;
    QAction* PM_BuhAcc_OffAll = nullptr;
    QAction* PM_BuhAcc_Accounts = nullptr;

    // Enabling of the pop-up menu, computed each time it opens.
    void PM_BuhAccRepPopup();

    void PM_BuhAcc_AddClick();
    void PM_BuhAcc_DelClick();
    void PM_BuhAcc_OnClick();
    void PM_BuhAcc_OffClick();
    void PM_BuhAcc_OnAllClick();
    void PM_BuhAcc_OffAllClick();
    // Opens the operations window of the current organisation.
    void PM_BuhAcc_AccountsClick();
    // Writes ON_OFF of the current assignment and commits it.
    void SetBuhAccRepOnOff(int value);

protected:
    Dialogs* m_dialogs;
    std::function<void(int, const QString&)> m_openOperations;
    fb::Dataset* m_master = nullptr;

private:
    void followMaster();
    bool hasRows() const;
    // Generates the current assignment's entries with its report's terms.
    RunResult createBuhHistory();
    void showDatabaseError(const QString& text);

    BooksEnvironment* m_env = nullptr;
};
