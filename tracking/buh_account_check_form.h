#pragma once

#include <QDialog>

class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// "Параметры сдачи отчёта": the date and comment of a submission mark.
class TBuhAccountCheckForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCommentLimit = 1024;

    // today: what the date picker shows until told otherwise.
    explicit TBuhAccountCheckForm(const QDate& today, QWidget* parent = nullptr);

    QLabel* Label_Info1 = nullptr;
    QLabel* Label_Info2 = nullptr;
    QLabel* Label_Info3 = nullptr;
    QDateEdit* DT_Date = nullptr;
    QPlainTextEdit* Memo_AccPayComment = nullptr;
    QPushButton* Btn_Save = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    // The comment as it is stored: each line followed by a carriage return and a line feed.
    QString storedComment() const;
    // Shows a stored comment in the box.
    void showStoredComment(const QString& comments);

private:
    void keepCommentWithinLimit();

    bool m_trimming = false;
    QString m_accepted; // the comment as last accepted, within the limit
};
