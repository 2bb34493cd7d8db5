#pragma once

#include "schedule/holiday_map.h"

#include <QDialog>

struct BooksEnvironment;
class DataGrid;
class DatasetModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
namespace fb {
class Dataset;
}

// The holidays directory: the yearless calendar of holidays and working weekend days, and the
// button that moves the existing deadlines onto the calendar as it now is.
class TBuhHolidaysForm : public QDialog {
    Q_OBJECT
public:
    explicit TBuhHolidaysForm(BooksEnvironment& env, QWidget* parent = nullptr);
    ~TBuhHolidaysForm() override;

    // The question of the correction for the clock's year.
    static QString correctionQuestion(int year);

    fb::Dataset* qBuhHolidays = nullptr;
    DatasetModel* model = nullptr;
    QLabel* Label_Header = nullptr;
    QLabel* Label_Info2 = nullptr;
    QWidget* ToolBar_Main = nullptr;
    QToolButton* TBtn_Add = nullptr;
    QToolButton* TBtn_Chng = nullptr;
    QToolButton* TBtn_Del = nullptr;
    QToolButton* TBtn_CorrectHistory = nullptr;
    QLineEdit* Edit_Search = nullptr;
    DataGrid* DBGrid_BuhAccount = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    void TBtn_AddClick();
    void TBtn_ChngClick();
    void TBtn_DelClick();
    void TBtn_CorrectHistoryClick();

    // The calendar the last correction used.
    const HolidayMap& holidays() const { return m_holidays; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void qBuhHolidaysAfterScroll();
    void Edit_SearchChange();
    bool hasRows() const;
    void editHoliday(int mode);

    BooksEnvironment& m_env;
    HolidayMap m_holidays;
};
