#pragma once

#include <QDialog>

class NameEditCheck;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class SpinEdit;
namespace fb {
class Dataset;
}

// The add/change dialog of a report: name (checked live against the directory's list),
// periodicity, deadline days with the optional special term of the year's last period,
// warning days and comments.
class TBuhAccountAEForm : public QDialog {
    Q_OBJECT
public:
    // reports: the directory's list the name must be unique in.
    explicit TBuhAccountAEForm(fb::Dataset& reports, QWidget* parent = nullptr);
    ~TBuhAccountAEForm() override;

    void setEditMode(int mode);
    int editMode() const;

    // Item index of RG_Cycling = CYCLING.
    int cycling() const;
    void setCycling(int cycling);
    // The special term as it will be stored: the spin's value when the box is checked, else
    // not set (NULL).
    QVariant dayAction12Value() const;
    QVariant nameValue() const;
    QVariant commentsValue() const;

    QLabel* Label_Header = nullptr;
    QLabel* Label_Info2 = nullptr;
    QLineEdit* Edit_Buh_Account = nullptr;
    QGroupBox* RG_Cycling = nullptr;
    QButtonGroup* cyclingButtons = nullptr;
    QLabel* Label_Day_Action = nullptr;
    SpinEdit* SE_Day_Action = nullptr;
    QLabel* Label_Help_Days = nullptr;
    QGroupBox* GB_Day_Action_12 = nullptr;
    QCheckBox* CB_Day_Action_12 = nullptr;
    QLabel* Label_Action_12 = nullptr;
    SpinEdit* SE_Day_Action_12 = nullptr;
    QLabel* Label_Help_Days_2 = nullptr;
    SpinEdit* SE_Day_Warning = nullptr;
    QPlainTextEdit* Memo_Comments = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    bool checkName();
    // The periodicity rule (labels and the special term's availability by CYCLING) and the
    // check-box rule (the special term's spin follows its box).
    void RG_CyclingClick();
    void CB_Day_Action_12Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    NameEditCheck* m_nameCheck = nullptr;
};
