#pragma once

#include <QDialog>

class Clock;
class QLabel;
class QPushButton;

// The confirmation window of a schedule run from the reports directory: it says what the run
// does for the clock's current year; "Создать" accepts.
class TBuhShedulerParamsForm : public QDialog {
    Q_OBJECT
public:
    explicit TBuhShedulerParamsForm(const Clock& clock, QWidget* parent = nullptr);

    QLabel* Label_Info = nullptr;
    QLabel* Label_Info2 = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};
