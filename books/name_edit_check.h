#pragma once

#include <QObject>
#include <QPointer>

#include "fb/dataset.h"

class QLineEdit;
class QPushButton;

// The live name check of the edit dialogs: on every change of the name box (and once when the
// dialog is shown) a leading blank is cut off at once, the name is tested against the opening
// window's list, and the save button is enabled only for a usable name, whose text is black;
// an unusable one is red.
class NameEditCheck : public QObject {
    Q_OBJECT
public:
    NameEditCheck(QLineEdit* nameBox, QPushButton* saveButton, QObject* parent = nullptr);

    // The list the name must be unique in, and the dialog's edit mode (0 add, 1 change).
    void setDataset(fb::Dataset* names) { m_names = names; }
    void setMode(int mode) { m_mode = mode; }
    int mode() const { return m_mode; }
    // The most characters the database column holds after blanks are collapsed (0: no limit
    // beyond the box's own). A longer name is refused here rather than by the database.
    void setStoredLength(int characters) { m_storedLength = characters; }

    // Runs the check; the result is whether the name may be saved.
    bool run();

private:
    QPointer<QLineEdit> m_nameBox;
    QPointer<QPushButton> m_saveButton;
    QPointer<fb::Dataset> m_names;
    int m_mode = 0;
    int m_storedLength = 0;
    bool m_running = false;
};
