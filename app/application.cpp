#include "app/application.h"

#include "fb/error.h"
#include "widgets/dialogs.h"

SrokoApplication::SrokoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool SrokoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const fb::Error& e) {
        showUnhandledError(m_dialogs, e.message());
    } catch (const std::exception& e) {
        showUnhandledError(m_dialogs, QString::fromUtf8(e.what()));
    }
    return false;
}

void SrokoApplication::showUnhandledError(Dialogs* dialogs, const QString& text) {
    if (dialogs)
        dialogs->unhandledError(text);
}
