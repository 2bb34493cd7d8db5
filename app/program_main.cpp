#include "app/program_main.h"

#include "app/application.h"
#include "app/single_instance.h"
#include "app/tmf.h"
#include "data/clock.h"
#include "widgets/dialogs.h"
#include "widgets/russian_ui.h"

#include <QTimer>

int runProgram(int argc, char** argv, const ProgramHooks& hooks) {
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
    context.programFolder = hooks.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                          : hooks.programFolder;
    context.dialogs = &dialogs;
    context.clock = &clock;
    // A lost connection or the reconnect command ends the program at once, without the close
    // question and without saving the window state.
    context.endProgramNow = [] { QCoreApplication::exit(1); };

    TMFServices services;
    services.releaseInstanceLock = [&instance] { instance.release(); };
    services.openDatabaseService = hooks.openDatabaseService;
    TMF window(context, services);
    if (!window.FormCreate())
        return 1;
    window.show();
    if (hooks.onShown)
        QTimer::singleShot(0, &window, [&window, &hooks] { hooks.onShown(window); });
    return app.exec();
}
