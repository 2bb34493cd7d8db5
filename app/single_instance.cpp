#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

SingleInstanceLock::SingleInstanceLock() = default;

SingleInstanceLock::~SingleInstanceLock() {
    release();
}

QString SingleInstanceLock::lockPath(const QString& title) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    // The title is Cyrillic; a hash keeps the file name plain on every file system.
    const QByteArray hash =
        QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(folder).filePath(QStringLiteral("sroko-%1.lock").arg(QString::fromLatin1(hash)));
}

bool SingleInstanceLock::tryAcquire(const QString& title) {
    release();
    auto lock = std::make_unique<QLockFile>(lockPath(title));
    // A lock left by a program that crashed is taken over (QLockFile checks the process).
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

void SingleInstanceLock::release() {
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

bool SingleInstanceLock::isHeld() const {
    return m_lock && m_lock->isLocked();
}
