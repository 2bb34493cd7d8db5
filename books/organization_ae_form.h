#pragma once

#include <QDialog>

class Dialogs;
class NameEditCheck;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
namespace fb {
class Dataset;
}

// The add/change dialog of an organisation: name (checked live against the organisations
// list), INN and KPP that take digits only, the two tax systems and comments.
class TOrganization_AE_Form : public QDialog {
    Q_OBJECT
public:
    // organizations: the main window's list the name must be unique in.
    TOrganization_AE_Form(Dialogs& dialogs, fb::Dataset& organizations, QWidget* parent = nullptr);
    ~TOrganization_AE_Form() override;

    // 0 to add a row, 1 to change the list's current row.
    void setEditMode(int mode);
    int editMode() const;

    // The box texts as they are to be stored: runs of blanks collapsed, empty as NULL.
    QVariant nameValue() const;
    QVariant innValue() const;
    QVariant kppValue() const;
    QVariant commentsValue() const;

    QLabel* Label_Header = nullptr;
    QLineEdit* Edit_Name = nullptr;
    QLineEdit* Edit_ReqINN = nullptr;
    QLineEdit* Edit_ReqKPP = nullptr;
    QLabel* Label_CountINN = nullptr;
    QLabel* Label_CountKPP = nullptr;
    QToolButton* SBtn_ClearReq = nullptr;
    QComboBox* CB_Buh_Tax_System_Main = nullptr;
    QComboBox* CB_Buh_Tax_System_Addit = nullptr;
    QPlainTextEdit* Memo_Comments = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    // Runs the live name check (also done when the dialog is shown and on every change).
    bool checkName();

    void SBtn_ClearReqClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Dialogs& m_dialogs;
    NameEditCheck* m_nameCheck = nullptr;
};
