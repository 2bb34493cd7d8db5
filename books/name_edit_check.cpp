#include "books/name_edit_check.h"

#include "books/name_check.h"
#include "books/text_helpers.h"
#include "fb/dataset.h"

#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

NameEditCheck::NameEditCheck(QLineEdit* nameBox, QPushButton* saveButton, QObject* parent)
    : QObject(parent), m_nameBox(nameBox), m_saveButton(saveButton) {
    connect(nameBox, &QLineEdit::textChanged, this, [this] { run(); });
}

bool NameEditCheck::run() {
    if (!m_nameBox || m_running)
        return m_saveButton && m_saveButton->isEnabled();
    m_running = true;
    const QString text = m_nameBox->text();
    const QString cut = cutLeadingBlanksAndControls(text);
    if (cut != text) {
        // Writing the box back fires textChanged again; the guard keeps this one run.
        const int cursor =
            std::max(0, m_nameBox->cursorPosition() - static_cast<int>(text.size() - cut.size()));
        m_nameBox->setText(cut);
        m_nameBox->setCursorPosition(cursor);
    }
    bool usable = m_names && IsNameUnique(m_mode, QStringLiteral("NAME"), *m_names, cut);
    if (usable && m_storedLength > 0 &&
        CollapseCharRuns(cut, QLatin1Char(' ')).size() > m_storedLength)
        usable = false;
    if (m_saveButton)
        m_saveButton->setEnabled(usable);
    QPalette palette = m_nameBox->palette();
    palette.setColor(QPalette::Text, usable ? QColor(0, 0, 0) : QColor(255, 0, 0));
    m_nameBox->setPalette(palette);
    m_running = false;
    return usable;
}
