#include "scripted_dialogs.h"

#include <QDialog>
#include <QWidget>

MsgResult ScriptedDialogs::message(const MessageRequest& request) {
    Shown shown;
    shown.request = request;
    if (m_answers.isEmpty()) {
        shown.answer = request.defaultButton;
        shown.answeredByDefault = true;
    } else {
        shown.answer = m_answers.dequeue();
    }
    m_shown << shown;
    return shown.answer;
}

void ScriptedDialogs::answer(std::initializer_list<MsgResult> results) {
    for (MsgResult result : results)
        m_answers.enqueue(result);
}

QList<MessageRequest> ScriptedDialogs::messages() const {
    QList<MessageRequest> requests;
    for (const Shown& shown : m_shown)
        requests << shown.request;
    return requests;
}

MessageRequest ScriptedDialogs::lastMessage() const {
    return m_shown.isEmpty() ? MessageRequest{} : m_shown.last().request;
}

QStringList ScriptedDialogs::texts() const {
    QStringList list;
    for (const Shown& shown : m_shown)
        list << shown.request.text;
    return list;
}

int ScriptedDialogs::exec(QDialog& dialog) {
    const QString className = QString::fromLatin1(dialog.metaObject()->className());
    m_execs << className;
    auto handler = m_handlers.constFind(className);
    if (handler == m_handlers.constEnd() && !dialog.objectName().isEmpty())
        handler = m_handlers.constFind(dialog.objectName());
    if (handler == m_handlers.constEnd()) {
        m_unhandled << className;
        dialog.setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    const int result = (*handler)(dialog);
    dialog.setResult(result);
    return result;
}

void ScriptedDialogs::onExec(const QString& classOrObjectName, ExecHandler handler) {
    m_handlers.insert(classOrObjectName, std::move(handler));
}

void ScriptedDialogs::showModeless(QWidget& window) {
    m_modeless << QString::fromLatin1(window.metaObject()->className());
    window.show();
}

void ScriptedDialogs::clear() {
    m_answers.clear();
    m_shown.clear();
    m_execs.clear();
    m_unhandled.clear();
    m_modeless.clear();
}
