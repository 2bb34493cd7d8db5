#pragma once

#include <QString>

class QDialog;
class QWidget;

// Every message box and every modal child window of the program goes through this service, so
// that tests can answer them and check what was shown.
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    QString caption;
    MsgIcon icon = MsgIcon::Information;
    MsgButtons buttons = MsgButtons::Ok;
    MsgResult defaultButton = MsgResult::Ok;
    QWidget* owner = nullptr; // nullptr: owned by the application, not by a window
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MsgResult message(const MessageRequest& request) = 0;
    // Shows a window modally and returns its result (QDialog::Accepted or Rejected).
    virtual int exec(QDialog& dialog) = 0;
    // Shows a window that does not block its owner (the help viewer) and brings it to the front.
    virtual void showModeless(QWidget& window);

    // Shorthands for the usual boxes.
    void error(QWidget* owner, const QString& text, const QString& caption);
    void warning(QWidget* owner, const QString& text, const QString& caption);
    void information(QWidget* owner, const QString& text, const QString& caption);
    // Yes/No question; true only for Yes.
    bool ask(QWidget* owner, const QString& text, const QString& caption,
             MsgIcon icon = MsgIcon::Question, MsgResult defaultButton = MsgResult::Yes);
    // The general error display: what an error that no window handled shows.
    void unhandledError(const QString& text);
};

// The real boxes and modal windows of the running program.
class QtDialogs : public Dialogs {
public:
    MsgResult message(const MessageRequest& request) override;
    int exec(QDialog& dialog) override;
};
