#include "app/program_main.h"

#include "app/application.h"
#include "app/shutdown_signals.h"
#include "app/single_instance.h"
#include "app/tmf.h"
#include "core/clock.h"
#include "widgets/dialogs.h"
#include "widgets/russian_ui.h"

#include <QTimer>

#include <cstdio>
#include <cstdlib>

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
    // question and without saving the window state. Leaving the event loop would not do: it is
    // not running yet during start-up, and the code that was running would go on.
    context.endProgramNow = [&instance] {
        instance.release();
        std::fflush(nullptr);
        std::_Exit(1);
    };

    TMFServices services;
    services.releaseInstanceLock = [&instance] { instance.release(); };
    services.openDatabaseService = hooks.openDatabaseService;
    TMF window(context, services);
    // Taken over before the connection opens; a signal during start-up closes the window as
    // soon as the event loop runs.
    ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &ShutdownSignals::shutdownRequested, &window,
                     &TMF::closeForShutdown, Qt::QueuedConnection);
    if (!window.FormCreate())
        return 1;
    window.show();
    if (hooks.onShown)
        QTimer::singleShot(0, &window, [&window, &hooks] { hooks.onShown(window); });
    return app.exec();
}
