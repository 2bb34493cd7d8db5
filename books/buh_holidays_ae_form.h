#pragma once

#include <QDialog>

class NameEditCheck;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SpinEdit;
namespace fb {
class Dataset;
}

// The add/change dialog of a calendar day: its name (checked live against the directory's
// list), its kind, day and month.
class TBuhHolidaysAEForm : public QDialog {
    Q_OBJECT
public:
    explicit TBuhHolidaysAEForm(fb::Dataset& holidays, QWidget* parent = nullptr);
    ~TBuhHolidaysAEForm() override;

    void setEditMode(int mode);
    int editMode() const;
    // Item index of RG_Holiday_Work = HOLIDAY_WORK.
    int holidayWork() const;
    void setHolidayWork(int kind);
    QVariant nameValue() const;

    QLabel* Label_Header = nullptr;
    QLineEdit* Edit_Buh_Holidays_Name = nullptr;
    QGroupBox* RG_Holiday_Work = nullptr;
    QButtonGroup* holidayWorkButtons = nullptr;
    SpinEdit* SE_Day_Month = nullptr;
    SpinEdit* SE_Month_Year = nullptr;
    QGroupBox* GB_Months = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    bool checkName();

protected:
    void showEvent(QShowEvent* event) override;

private:
    NameEditCheck* m_nameCheck = nullptr;
};
