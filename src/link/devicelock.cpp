#include "devicelock.h"

#include "portproblem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QStandardPaths>
#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(Q_OS_LINUX)
#include <sys/sysmacros.h>
#endif
#endif

namespace orvane {

namespace {

// A server's address as one name for it: an IPv4 address given as IPv6 reads as IPv4.
QString serverName(const QHostAddress& address, quint16 port) {
    bool ipv4 = false;
    const quint32 v4 = address.toIPv4Address(&ipv4);
    return QStringLiteral("orvane-net-%1-%2")
        .arg(ipv4 ? QHostAddress(v4).toString() : address.toString())
        .arg(port);
}

} // namespace

#if defined(Q_OS_WIN)

Result<void> DeviceLock::lockDevice(const QString&) {
    return {};
}

// A named mutex, seen by every session; it goes when its last handle closes.
Result<void> DeviceLock::lockServer(const QHostAddress& address, quint16 port) {
    release();
    const QString name = QStringLiteral("Global\\") + serverName(address, port);
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(name.utf16()));
    const DWORD error = ::GetLastError();
    if (mutex && error != ERROR_ALREADY_EXISTS) {
        mutex_ = mutex;
        return {};
    }
    if (mutex)
        ::CloseHandle(mutex);
    // Another user's mutex cannot even be opened.
    if (mutex || error == ERROR_ACCESS_DENIED)
        return Refusal::because(anotherSenderReason());
    return {};
}

bool DeviceLock::lockDescriptor(int) {
    return true;
}

void DeviceLock::release() {
    if (mutex_)
        ::CloseHandle(HANDLE(mutex_));
    mutex_ = nullptr;
}

QString DeviceLock::lockFilePath(const QString&) {
    return {};
}

QString DeviceLock::qtLockFilePath(const QString&) {
    return {};
}

Result<void> DeviceLock::checkQtLockFile(const QString&) {
    return {};
}

struct LockFileWatch::State {};

LockFileWatch::LockFileWatch(const QString&) {}

LockFileWatch::~LockFileWatch() = default;

Result<void> LockFileWatch::outcome() const {
    return {};
}

#else

namespace {

// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::PortProblem)
};

// QSerialPort's lock file holds a process number, a program name and a host name.
constexpr qint64 MaxQtLockFileSize = 4096;
// QLockFile's lock on the removal of a stale lock file: FILE.rmlock.
constexpr QLatin1StringView RemovalLockSuffix(".rmlock");

QString lockFolder() {
    return ::access("/run/lock", W_OK | X_OK) == 0 ? QStringLiteral("/run/lock") : QDir::tempPath();
}

// What a file of `mode` is, for a message; empty for a plain file.
QString kindOf(mode_t mode) {
    if (S_ISREG(mode))
        return {};
    if (S_ISFIFO(mode))
        return Text::tr("a FIFO (named pipe)");
    if (S_ISLNK(mode))
        return Text::tr("a symbolic link");
    if (S_ISDIR(mode))
        return Text::tr("a folder");
    if (S_ISSOCK(mode))
        return Text::tr("a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Text::tr("a device");
    return Text::tr("no plain file");
}

Refusal planted(const QString& file, const QString& what) {
    return Refusal::because(
        Text::tr("its lock file %1 is %2, so it is not opened and nothing is sent; someone may "
                 "have put it there to block this program. Remove it, then try again.")
            .arg(file, what));
}

// Whether the file at `path`, if there is one, may be opened as a lock file (`maxSize` bytes at
// most when it is to be read): when there is none or it is a plain file.
Result<void> checkLockFile(const QString& path, qint64 maxSize = -1) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    if (const QString kind = kindOf(st.st_mode); !kind.isEmpty())
        return planted(path, kind);
    if (maxSize >= 0 && st.st_size > maxSize)
        return planted(
            path,
            Text::tr("%1 bytes long, far more than a lock file holds").arg(qint64(st.st_size)));
    return {};
}

// Opens the lock file, making it when it is not there; -1 when there is no lock to be had, and
// refused when the file found there is to blame. Neither open waits or follows a link. An
// existing file is opened without O_CREAT, which a world-writable sticky folder may refuse for
// another user's file; read access is all that flock needs.
Result<int> openLockFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (const Result<void> usable = checkLockFile(path); !usable)
            return usable.refusal();
        int fd =
            ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        if (fd >= 0) {
            struct stat st {};
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
                return fd;
            ::close(fd); // put there since it was looked at
            return planted(path, kindOf(st.st_mode));
        }
        if (errno == ELOOP)
            return planted(path, kindOf(S_IFLNK));
        if (errno != ENOENT)
            return -1;
        fd = ::open(name.constData(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0)
            ::fchmod(fd, 0644); // whatever the umask: other users' downloads open it too
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Takes the lock of an open file without waiting: false when another open file holds it.
bool tryLock(int descriptor) {
    int rc;
    do
        rc = ::flock(descriptor, LOCK_EX | LOCK_NB);
    while (rc == -1 && errno == EINTR);
    return rc == 0 || errno != EWOULDBLOCK;
}

} // namespace

// LCK..NAME, NAME the path below /dev with '/' made '_', in the first of QSerialPort's lock
// folders that this user may read and that either holds that file or may be written to.
QString DeviceLock::qtLockFilePath(const QString& device) {
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QStringList folders = {QStringLiteral("/var/lock"),
                                 QStringLiteral("/etc/locks"),
                                 QStringLiteral("/var/spool/locks"),
                                 QStringLiteral("/var/spool/uucp"),
                                 QStringLiteral("/tmp"),
                                 QStringLiteral("/var/tmp"),
                                 QStringLiteral("/var/lock/lockdev"),
                                 QStringLiteral("/run/lock"),
                                 QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    for (const QString& folder : folders) {
        const QString file = folder + QStringLiteral("/LCK..") + name;
        const QFileInfo info(folder);
        if (info.isReadable() && (QFile::exists(file) || info.isWritable()))
            return file;
    }
    return {};
}

Result<void> DeviceLock::checkQtLockFile(const QString& path) {
    // Before QLockFile removes a stale lock file, it takes the lock FILE.rmlock, reading that one
    // in turn if it is there, and so on.
    struct stat st {};
    for (QString file = qtLockFilePath(path);
         !file.isEmpty() && ::lstat(QFile::encodeName(file).constData(), &st) == 0;
         file += RemovalLockSuffix) {
        if (Result<void> usable = checkLockFile(file, MaxQtLockFileSize); !usable)
            return usable;
    }
    return {};
}

QString DeviceLock::lockFilePath(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return {};
    return QStringLiteral("%1/orvane-tty-%2-%3.lock")
        .arg(lockFolder())
        .arg(major(st.st_rdev))
        .arg(minor(st.st_rdev));
}

Result<void> DeviceLock::lockDevice(const QString& path) {
    release();
    const QString file = lockFilePath(path);
    Result<void> locked = file.isEmpty() ? Result<void>() : lockFile(file);
    if (locked)
        locked = checkQtLockFile(path);
    if (!locked)
        release();
    return locked;
}

Result<void> DeviceLock::lockServer(const QHostAddress& address, quint16 port) {
    release();
    return lockFile(QStringLiteral("%1/%2.lock").arg(lockFolder(), serverName(address, port)));
}

Result<void> DeviceLock::lockFile(const QString& path) {
    const Result<int> opened = openLockFile(path);
    if (!opened)
        return opened.refusal();
    lockFile_ = *opened;
    if (lockFile_ < 0 || tryLock(lockFile_))
        return {};
    release();
    return Refusal::because(anotherSenderReason());
}

bool DeviceLock::lockDescriptor(int descriptor) {
    return tryLock(descriptor);
}

void DeviceLock::release() {
    if (lockFile_ >= 0)
        ::close(lockFile_); // drops the lock
    lockFile_ = -1;
}

namespace {

#if defined(Q_OS_LINUX)
// The signal that interrupts an open() waiting on a FIFO; its handler does nothing, and without
// SA_RESTART the open fails with EINTR. Set only once a thread was found waiting.
const int InterruptSignal = SIGRTMIN + 3;

void setInterruptHandler() {
    static const bool set = [] {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        return ::sigaction(InterruptSignal, &action, nullptr) == 0;
    }();
    Q_UNUSED(set);
}

// Whether thread `tid` of this process waits in an open() of a FIFO for the other end.
bool waitsOnFifo(pid_t tid) {
    const QByteArray path = "/proc/self/task/" + QByteArray::number(tid) + "/wchan";
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char text[32] = {};
    const ssize_t count = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    return count > 0 && qstrcmp(text, "wait_for_partner") == 0;
}
#endif

} // namespace

struct LockFileWatch::State {
    std::mutex mutex;
    std::condition_variable wake;
    bool done = false;
    bool freed = false;
};

LockFileWatch::LockFileWatch(const QString& lockFile) : lockFile_(lockFile) {
    if (lockFile.isEmpty())
        return;
    state_ = std::make_unique<State>();
#if defined(Q_OS_LINUX)
    const pid_t tid = ::gettid();
#else
    const int tid = 0;
#endif
    const pthread_t reader = ::pthread_self();
    const auto watch = [state = state_.get(), name = QFile::encodeName(lockFile), reader, tid] {
        std::unique_lock lock(state->mutex);
        while (!state->wake.wait_for(lock, std::chrono::milliseconds(20),
                                     [state] { return state->done; })) {
            // The lock file, its FILE.rmlock, and so on (checkQtLockFile()).
            struct stat st {};
            for (QByteArray file = name; ::stat(file.constData(), &st) == 0;
                 file += RemovalLockSuffix) {
                if (!S_ISFIFO(st.st_mode))
                    continue;
                // Fails at once (ENXIO) while no reader waits.
                const int fd =
                    ::open(file.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
                if (fd >= 0)
                    ::close(fd), state->freed = true;
            }
#if defined(Q_OS_LINUX)
            if (waitsOnFifo(tid)) {
                setInterruptHandler();
                ::pthread_kill(reader, InterruptSignal);
                state->freed = true;
            }
#else
            Q_UNUSED(reader);
            Q_UNUSED(tid);
#endif
        }
    };
    try {
        thread_ = std::thread(watch);
    } catch (const std::system_error&) { // no thread to spare: the check before must do
    }
}

LockFileWatch::~LockFileWatch() {
    if (!thread_.joinable())
        return;
    {
        const std::lock_guard lock(state_->mutex);
        state_->done = true;
    }
    state_->wake.notify_all();
    thread_.join();
}

Result<void> LockFileWatch::outcome() const {
    if (!state_)
        return {};
    const std::lock_guard lock(state_->mutex);
    if (state_->freed)
        return planted(lockFile_, kindOf(S_IFIFO));
    return {};
}

#endif

} // namespace orvane
