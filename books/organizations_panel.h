#pragma once

#include <QWidget>

class DataGrid;
class DatasetModel;
class Dialogs;
class QAction;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QToolButton;
namespace fb {
class Attachment;
class Dataset;
} // namespace fb

// The organisations panel of the main window: the list of organisations served, their
// comments, and the pop-up menu that adds, changes and deletes them.
class OrganizationsPanel : public QWidget {
    Q_OBJECT
public:
    OrganizationsPanel(fb::Attachment& attachment, Dialogs* dialogs, QWidget* parent = nullptr);
    ~OrganizationsPanel() override;

    // Opens the list; throws fb::Error when the database refuses.
    void open();
    // Shows the current organisation's comments.
    void showComments();

    fb::Dataset* qOrgan = nullptr;
    DatasetModel* model = nullptr;
    DataGrid* DBGrid_Organs = nullptr;
    QWidget* Panel_OrgComments = nullptr;
    QPlainTextEdit* Memo_Comments = nullptr;
    QSplitter* splitter = nullptr;
    QToolButton* TBtn_OrgAction = nullptr;
    QToolButton* TBtn_OrganRefresh = nullptr;
    QMenu* PM_Org = nullptr;
    QAction* PM_Org_Add = nullptr;
    QAction* PM_Org_Edit = nullptr;
    QAction* PM_Org_Del = nullptr;

    // The window caption messages of this panel carry.
    QString windowCaption() const;

    // Add, change and delete through the pop-up menu; a double click changes.
    void PM_Org_AddClick();
    void PM_Org_EditClick();
    void PM_Org_DelClick();

protected:
    Dialogs* m_dialogs;

private:
    void PM_OrgPopup();
    // Shows the organisation dialog and posts it: mode 0 adds, 1 changes the current row.
    void editOrganization(int mode);
    bool hasRows() const;
};
