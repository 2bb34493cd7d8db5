#pragma once

#include "fb/error.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace Firebird {
class IService;
class FbException;
} // namespace Firebird

namespace fb {

// One attachment to the engine's service manager ("service_mgr", the embedded engine's own or a
// server's). Backup, restore and validation run inside the engine; their output lines are handed
// to the caller one by one while the service works. A service that fails throws fb::Error with
// the engine's text; the lines it printed before have already been handed on.
class ServiceManager {
public:
    using LineHandler = std::function<void(const QString&)>;

    struct RestoreOptions {
        int pageSize = 4096;
        int pageBuffers = 0; // 0: the engine's default
        bool replace = true; // overwrite an existing file; otherwise refuse it
        bool verbose = true; // one line per object restored
    };

    // params: "user_name=...", "password=..."; server: empty for the local (embedded) engine.
    explicit ServiceManager(const QStringList& params, const QString& server = QString());
    ~ServiceManager();
    ServiceManager(const ServiceManager&) = delete;
    ServiceManager& operator=(const ServiceManager&) = delete;

    // Size of the buffer each output query reads into.
    void setBufferSize(unsigned bytes) { m_bufferSize = bytes < 512 ? 512 : bytes; }

    // Backup and restore count as done only when the engine's output reached its last line;
    // verbose only says whether the lines are handed on.
    void backup(const QString& database, const QString& backupFile, const LineHandler& onLine,
                bool verbose = true);
    void restore(const QString& backupFile, const QString& database, const RestoreOptions& options,
                 const LineHandler& onLine);
    // Checks the whole database (records, pages, indices). The engine reports the damage it
    // finds as output lines, so a damaged database gives lines, not an error.
    void validate(const QString& database, const LineHandler& onLine);
    // Two-phase transactions left in limbo by a coordinator that died.
    QList<qint64> limboTransactions(const QString& database);
    void commitLimboTransaction(const QString& database, qint64 id);

private:
    void start(const QByteArray& spb);
    // Reads the running service's output to its end.
    void readLines(const LineHandler& onLine);
    void waitUntilStopped();
    QByteArray queryRaw(unsigned char item);
    [[noreturn]] void raise(const Firebird::FbException& e);

    Firebird::IService* m_handle = nullptr;
    unsigned m_bufferSize = 32000;
};

} // namespace fb
