#include "fb/engine.h"

#include <QDir>
#include <QFileInfo>
#include <firebird/Interface.h>

#include <cstdlib>

namespace fb {
namespace {
bool g_configured = false;
}

void configureEmbeddedEngine(const QString& rootFolder) {
    if (g_configured)
        return;
    g_configured = true;
    QString root = rootFolder;
    if (root.isEmpty())
        root = QStringLiteral(SROKO_FB_ROOT);
    if (QFileInfo::exists(root + QStringLiteral("/firebird.conf")))
        ::setenv("FIREBIRD", QDir(root).absolutePath().toLocal8Bit().constData(), 1);
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
