#pragma once

#include <QString>

namespace Firebird {
class IMaster;
class IUtil;
class IProvider;
} // namespace Firebird

namespace fb {

// Points the embedded engine at a root folder of our own (its firebird.conf runs the engine in
// a mode that lets several processes share one database file). Must run before the first use
// of the client library; later calls do nothing. An empty or missing root keeps the system's.
void configureEmbeddedEngine(const QString& rootFolder = QString());
// <folder of the running executable>/firebird, which the build makes beside each executable.
QString defaultEngineRoot();

// The client library shuts the embedded engine down by itself on SIGINT and SIGTERM, which would
// leave an open window on a dead connection. This refuses that shutdown and writes one byte to
// wakeFd instead, so that the program can close in its own order.
void refuseSignalShutdown(int wakeFd);

Firebird::IMaster* master();
Firebird::IUtil* util();
Firebird::IProvider* provider();

} // namespace fb
