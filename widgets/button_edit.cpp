#include "widgets/button_edit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>

ButtonEdit::ButtonEdit(QWidget* parent) : QLineEdit(parent), m_button(new QToolButton(this)) {
    setReadOnly(true);
    m_button->setText(QStringLiteral("..."));
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    connect(m_button, &QToolButton::clicked, this, &ButtonEdit::buttonClicked);
}

void ButtonEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int side = height() - 2 * frame;
    m_button->setGeometry(width() - frame - side, frame, side, side);
    setTextMargins(0, 0, side, 0);
}

void ButtonEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && isEnabled())
        emit doubleClicked();
}

void ButtonEdit::keyPressEvent(QKeyEvent* event) {
    // Alt+Down opens the picker from the keyboard, as a drop-down would.
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        emit buttonClicked();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
