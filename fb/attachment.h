#pragma once

#include "fb/error.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace Firebird {
class IAttachment;
class FbException;
} // namespace Firebird

namespace fb {

class Transaction;

// One connection to a database file. Every error that passes through it is reported to the
// error hook first (the data module keeps the engine's text) and then thrown as fb::Error.
// When the engine says the connection is gone, the lost-connection hook runs once.
class Attachment {
public:
    Attachment();
    ~Attachment();
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    // params: "user_name=SYSDBA", "password=...", "lc_ctype=WIN1251", in any order.
    void attach(const QString& path, const QStringList& params);
    // Creates a new database file (dialect 3, default character set from lc_ctype).
    void create(const QString& path, const QStringList& params, int pageSize = 8192);
    void detach();
    bool isConnected() const { return m_handle != nullptr; }
    const QString& path() const { return m_path; }

    // Runs one statement as it stands (no parameters; ":" is not special, so trigger and
    // procedure bodies pass unchanged).
    void executeImmediate(Transaction& transaction, const QString& sql);
    // Next value of a generator, in its own tiny read of the engine (generators are not
    // transactional).
    qint64 nextGeneratorValue(Transaction& transaction, const QString& generator);

    // Records inserted or updated in the table (by its relation id) through this connection
    // since it was opened, by the engine's own counters (work later rolled back counts too).
    qint64 changedRecords(int relationId);
    int relationId(const QString& table);

    void setErrorHook(std::function<void(const Error&)> hook) { m_errorHook = std::move(hook); }
    void setConnectionLostHook(std::function<void()> hook) { m_lostHook = std::move(hook); }

    Firebird::IAttachment* handle() const { return m_handle; }

    // Reports the error to the hooks and throws it.
    [[noreturn]] void raise(const Firebird::FbException& e);
    [[noreturn]] void raise(const Error& e);

private:
    void open(const QString& path, const QStringList& params, bool createNew, int pageSize);

    Firebird::IAttachment* m_handle = nullptr;
    QString m_path;
    std::function<void(const Error&)> m_errorHook;
    std::function<void()> m_lostHook;
    bool m_lostReported = false;
};

} // namespace fb
