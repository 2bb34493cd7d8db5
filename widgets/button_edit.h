#pragma once

#include <QLineEdit>

class QToolButton;

// A read-only edit with a "..." button at its right end; the window shows a choice made in a
// picker in it. A double click on the text asks for the same as the button.
class ButtonEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit ButtonEdit(QWidget* parent = nullptr);

    QToolButton* button() const { return m_button; }

signals:
    void buttonClicked();
    void doubleClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QToolButton* m_button;
};
