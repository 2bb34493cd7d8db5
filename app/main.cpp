#include "app/application.h"
#include "app/single_instance.h"
#include "app/tmf.h"
#include "data/clock.h"
#include "widgets/dialogs.h"
#include "widgets/russian_ui.h"

int main(int argc, char** argv) {
    SrokoApplication app(argc, argv);
    const QString title = QStringLiteral("Сроковед");
    QApplication::setApplicationName(QStringLiteral("sroko"));
    QApplication::setApplicationDisplayName(title);
    installRussianTranslations(app);
    QtDialogs dialogs;
    app.setDialogs(&dialogs);

    SingleInstanceLock instance;
    if (!instance.tryAcquire(title)) {
        dialogs.warning(nullptr, QStringLiteral("Приложение \"Сроковед\" уже запущено."),
                        QStringLiteral("Предупреждение"));
        return 0;
    }

    SystemClock clock;
    AppContext context;
    context.programFolder = QCoreApplication::applicationDirPath();
    context.dialogs = &dialogs;
    context.clock = &clock;
    // A lost connection or the reconnect command ends the program at once, without the close
    // question and without saving the window state.
    context.endProgramNow = [] { QCoreApplication::exit(1); };

    TMFServices services;
    services.releaseInstanceLock = [&instance] { instance.release(); };
    TMF window(context, services);
    if (!window.FormCreate())
        return 1;
    window.show();
    return app.exec();
}
