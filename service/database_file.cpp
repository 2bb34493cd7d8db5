#include "service/database_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace database_file {
namespace {

// An open descriptor with the file's exclusive lock, released and closed with the scope.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const QString& path) {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0) {
            m_error = errno;
            return;
        }
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            m_locked = true;
        else
            m_error = errno;
    }
    ~ExclusiveLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

    bool locked() const { return m_locked; }
    bool busy() const { return m_error == EWOULDBLOCK; }
    int error() const { return m_error; }

private:
    int m_fd = -1;
    bool m_locked = false;
    int m_error = 0;
};

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool isInUse(const QString& path) {
    if (!QFileInfo::exists(path))
        return false;
    ExclusiveLock lock(path);
    return lock.busy();
}

ReplaceResult replaceFile(const QString& replacement, const QString& target, QString* errorText) {
    const QByteArray from = QFile::encodeName(replacement);
    const QByteArray to = QFile::encodeName(target);
    if (!QFileInfo::exists(target)) {
        if (::rename(from.constData(), to.constData()) == 0)
            return ReplaceResult::Replaced;
        if (errorText)
            *errorText = systemText(errno);
        return ReplaceResult::Failed;
    }
    ExclusiveLock lock(target);
    if (!lock.locked()) {
        if (lock.busy())
            return ReplaceResult::InUse;
        if (errorText)
            *errorText = systemText(lock.error());
        return ReplaceResult::Failed;
    }
    QFile::setPermissions(replacement, QFile::permissions(target));
    if (::rename(from.constData(), to.constData()) != 0) {
        if (errorText)
            *errorText = systemText(errno);
        return ReplaceResult::Failed;
    }
    return ReplaceResult::Replaced;
}

} // namespace database_file
