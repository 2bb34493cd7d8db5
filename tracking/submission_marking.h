#pragma once

#include <QString>

class Clock;
class Dialogs;
class QWidget;
namespace fb {
class Attachment;
class Dataset;
} // namespace fb

// The two commands that mark the current row of a schedule list as submitted or take the mark
// back, shared by the main window's schedule tab and the operations window. The list's dataset
// writes the row with its own update statement, commits it and re-reads it, so the record date
// the database stamps shows at once.
class SubmissionMarking {
public:
    struct Options {
        QString reportNameField;  // the field that holds the report's name
        bool writesUserId = true; // the main window writes USERS_ID 1; the other leaves it
    };

    SubmissionMarking(fb::Attachment& attachment, fb::Dataset& list, Dialogs& dialogs,
                      const Clock& clock, QWidget* owner, Options options);

    // Sets or changes the mark through TBuhAccountCheckForm. True when a mark was saved.
    bool setSubmitted();
    // Asks, then clears the mark. True when the mark was taken back.
    bool cancelSubmitted();

    static QString emptyListText();

private:
    bool listIsEmpty() const;
    // False, after saying so and reading the list again, when the current entry is gone from
    // the database.
    bool entryStillThere(const QString& caption);
    // The row as the database holds it after a refused write.
    void showStoredRow();

    fb::Attachment& m_attachment;
    fb::Dataset& m_list;
    Dialogs& m_dialogs;
    const Clock& m_clock;
    QWidget* m_owner;
    Options m_options;
};
