#pragma once

#include <QString>
#include <stdexcept>

namespace Firebird {
class IStatus;
}

namespace fb {

// A database error. engineText() is the engine's own message (empty for errors raised on the
// client side, such as text that the code page cannot hold); message() is what to show.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& clientMessage);
    Error(const QString& engineText, long gdsCode, bool connectionLost);

    // Builds an error from a failed status vector of the Firebird API.
    static Error fromStatus(const Firebird::IStatus* status);

    const QString& message() const { return m_message; }
    const QString& engineText() const { return m_engineText; }
    long gdsCode() const { return m_gdsCode; }
    bool isEngineError() const { return !m_engineText.isEmpty(); }
    bool isConnectionLost() const { return m_connectionLost; }
    // The engine refused a row because of a unique index or primary key.
    bool isUniqueViolation() const;

private:
    QString m_message;
    QString m_engineText;
    long m_gdsCode = 0;
    bool m_connectionLost = false;
};

// Raised by a dataset after a row was written and committed but could not be read back: the
// row is stored (the list shows the values as written), only the re-read failed.
class StoredButNotReread : public Error {
public:
    explicit StoredButNotReread(const Error& cause);
    const Error& cause() const { return m_cause; }

private:
    Error m_cause;
};

} // namespace fb
