#pragma once

#include "widgets/dialogs.h"

#include <QHash>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>

// The dialogs service of widget tests: it records every message box, answers them from a queue
// (an empty queue answers with the box's default button) and answers modal windows through
// handlers registered per window class or object name.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        MessageRequest request;
        MsgResult answer = MsgResult::Ok;
        bool answeredByDefault = false; // no scripted answer was left: the default button
    };
    using ExecHandler = std::function<int(QDialog&)>;

    // Message boxes.
    MsgResult message(const MessageRequest& request) override;
    void answer(MsgResult result) { m_answers.enqueue(result); }
    void answer(std::initializer_list<MsgResult> results);
    int pendingAnswers() const { return static_cast<int>(m_answers.size()); }

    const QList<Shown>& shown() const { return m_shown; }
    QList<MessageRequest> messages() const;
    // The last box shown; an empty request (no text) when none was shown.
    MessageRequest lastMessage() const;
    QStringList texts() const;

    // Modal windows: the handler of the window's class name (metaObject()->className()) or,
    // failing that, of its object name. An unhandled window is recorded and rejected.
    int exec(QDialog& dialog) override;
    void onExec(const QString& classOrObjectName, ExecHandler handler);
    const QStringList& execs() const { return m_execs; }
    const QStringList& unhandledExecs() const { return m_unhandled; }

    // Non-modal windows are shown (offscreen) and recorded by class name.
    void showModeless(QWidget& window) override;
    const QStringList& modeless() const { return m_modeless; }

    // Forgets what was shown and the unused answers; handlers stay.
    void clear();

private:
    QQueue<MsgResult> m_answers;
    QList<Shown> m_shown;
    QHash<QString, ExecHandler> m_handlers;
    QStringList m_execs;
    QStringList m_unhandled;
    QStringList m_modeless;
};
