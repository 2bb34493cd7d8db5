#include "widgets/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

void Dialogs::error(QWidget* owner, const QString& text, const QString& caption) {
    message({text, caption, MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok, owner});
}

void Dialogs::warning(QWidget* owner, const QString& text, const QString& caption) {
    message({text, caption, MsgIcon::Warning, MsgButtons::Ok, MsgResult::Ok, owner});
}

void Dialogs::information(QWidget* owner, const QString& text, const QString& caption) {
    message({text, caption, MsgIcon::Information, MsgButtons::Ok, MsgResult::Ok, owner});
}

bool Dialogs::ask(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                  MsgResult defaultButton) {
    return message({text, caption, icon, MsgButtons::YesNo, defaultButton, owner}) ==
           MsgResult::Yes;
}

void Dialogs::showModeless(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

MsgResult QtDialogs::message(const MessageRequest& request) {
    QMessageBox box(request.owner);
    box.setWindowTitle(request.caption.isEmpty() ? QApplication::applicationDisplayName()
                                                 : request.caption);
    box.setText(request.text);
    switch (request.icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    if (request.buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultButton == MsgResult::No ? QMessageBox::No
                                                                    : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int answer = box.exec();
    switch (answer) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Ok:
        return MsgResult::Ok;
    default:
        return request.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
    }
}

int QtDialogs::exec(QDialog& dialog) {
    return dialog.exec();
}

void Dialogs::unhandledError(const QString& text) {
    error(nullptr, text.trimmed(), QStringLiteral("Ошибка"));
}
