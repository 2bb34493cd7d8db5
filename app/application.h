#pragma once

#include <QApplication>

class Dialogs;

// The program's application object: an error that no window caught ends up in one message box
// instead of ending the program.
class SrokoApplication : public QApplication {
    Q_OBJECT
public:
    SrokoApplication(int& argc, char** argv);
    void setDialogs(Dialogs* dialogs) { m_dialogs = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

    // The general error display.
    static void showUnhandledError(Dialogs* dialogs, const QString& text);

private:
    Dialogs* m_dialogs = nullptr;
};
