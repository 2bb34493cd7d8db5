#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Only one program runs per user: a lock file named after the application's title. The
// reconnect command releases it (it changes the title) before the next program starts.
class SingleInstanceLock {
public:
    SingleInstanceLock();
    ~SingleInstanceLock();

    // False when another running program holds the lock for this title.
    bool tryAcquire(const QString& title);
    void release();
    bool isHeld() const;

    static QString lockPath(const QString& title);

private:
    std::unique_ptr<QLockFile> m_lock;
};
