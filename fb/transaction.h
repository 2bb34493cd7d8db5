#pragma once

namespace Firebird {
class ITransaction;
}

namespace fb {

class Attachment;

// A transaction on one attachment; several may run side by side. One that is still active when
// it goes out of scope is rolled back.
class Transaction {
public:
    enum class Mode {
        ReadWrite, // read committed, waits up to ten seconds for a locked row
        ReadOnly,  // read committed, read only: may stay open as long as a list is shown
        Snapshot,  // one consistent view of the whole database (backups, counts)
    };

    explicit Transaction(Attachment& attachment, Mode mode = Mode::ReadWrite);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void start();
    void startIfNeeded() {
        if (!isActive())
            start();
    }
    bool isActive() const { return m_handle != nullptr; }
    void commit();
    // Commits and goes on in a new transaction, keeping open cursors.
    void commitRetaining();
    void rollback();

    Attachment& attachment() const { return m_attachment; }
    Firebird::ITransaction* handle() const { return m_handle; }

private:
    Attachment& m_attachment;
    Mode m_mode;
    Firebird::ITransaction* m_handle = nullptr;
};

} // namespace fb
