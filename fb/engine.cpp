#include "fb/engine.h"

#include <QDir>
#include <QFileInfo>
#include <firebird/Interface.h>

#include <ibase.h>
#include <unistd.h>

#include <cstdlib>

namespace fb {
namespace {
bool g_configured = false;
int g_wakeFd = -1;

int onEngineShutdown(int reason, int mask, void*) {
    if (mask != fb_shut_confirmation || reason != fb_shutrsn_signal || g_wakeFd < 0)
        return 0;
    const char byte = 's';
    [[maybe_unused]] const auto written = ::write(g_wakeFd, &byte, 1);
    return 1; // refused: the program closes itself
}
} // namespace

QString defaultEngineRoot() {
    // The executable's own folder, read from the kernel so that it works before (and without)
    // an application object; a moved program folder takes its engine root along.
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QFileInfo(exe.canonicalFilePath()).absolutePath() + QStringLiteral("/firebird");
}

void configureEmbeddedEngine(const QString& rootFolder) {
    if (g_configured)
        return;
    g_configured = true;
    QString root = rootFolder;
    if (root.isEmpty())
        root = defaultEngineRoot();
    if (QFileInfo::exists(root + QStringLiteral("/firebird.conf")))
        ::setenv("FIREBIRD", QFileInfo(root).canonicalFilePath().toLocal8Bit().constData(), 1);
}

void refuseSignalShutdown(int wakeFd) {
    master(); // the client library is loaded and its own signal handling is in place
    g_wakeFd = wakeFd;
    ISC_STATUS_ARRAY status = {};
    fb_shutdown_callback(status, onEngineShutdown, fb_shut_confirmation, nullptr);
}

Firebird::IMaster* master() {
    configureEmbeddedEngine();
    static Firebird::IMaster* instance = Firebird::fb_get_master_interface();
    return instance;
}

Firebird::IUtil* util() {
    return master()->getUtilInterface();
}

Firebird::IProvider* provider() {
    static Firebird::IProvider* instance = master()->getDispatcher();
    return instance;
}

} // namespace fb
