#include "devicelock.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

#if !defined(Q_OS_WIN)
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(Q_OS_LINUX)
#include <sys/sysmacros.h>
#endif
#endif

namespace orvane {

#if defined(Q_OS_WIN)

bool DeviceLock::lockDevice(const QString&) {
    return true;
}

bool DeviceLock::lockDescriptor(int) {
    return true;
}

void DeviceLock::release() {}

QString DeviceLock::lockFilePath(const QString&) {
    return {};
}

#else

namespace {

// Takes the lock of an open file without waiting: false when another open file holds it.
bool tryLock(int descriptor) {
    int rc;
    do
        rc = ::flock(descriptor, LOCK_EX | LOCK_NB);
    while (rc == -1 && errno == EINTR);
    return rc == 0 || errno != EWOULDBLOCK;
}

// Opens the lock file, making it when it is not there. An existing file is opened without
// O_CREAT, which a world-writable sticky folder may refuse for another user's file; read access
// is all that flock needs.
int openLockFile(const QByteArray& path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        fd = ::open(path.constData(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

QString DeviceLock::lockFilePath(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return {};
    const QString folder =
        ::access("/run/lock", W_OK | X_OK) == 0 ? QStringLiteral("/run/lock") : QDir::tempPath();
    return QStringLiteral("%1/orvane-tty-%2-%3.lock")
        .arg(folder)
        .arg(major(st.st_rdev))
        .arg(minor(st.st_rdev));
}

bool DeviceLock::lockDevice(const QString& path) {
    release();
    const QString file = lockFilePath(path);
    if (file.isEmpty())
        return true;
    lockFile_ = openLockFile(QFile::encodeName(file));
    if (lockFile_ < 0)
        return true;
    if (tryLock(lockFile_))
        return true;
    release();
    return false;
}

bool DeviceLock::lockDescriptor(int descriptor) {
    return tryLock(descriptor);
}

void DeviceLock::release() {
    if (lockFile_ >= 0)
        ::close(lockFile_); // drops the lock
    lockFile_ = -1;
}

#endif

} // namespace orvane
