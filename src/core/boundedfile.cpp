#include "boundedfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#if defined(Q_OS_WIN)
#include <QDir>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::FileReading)
};
} // namespace

namespace {

Refusal failed(const QString& fileName, const QString& reason) {
    return {fileName, reason};
}

QString notAFile(bool isFolder) {
    return isFolder ? Text::tr("it is a folder, not a file")
                    : Text::tr("it is a device or a pipe, not a file");
}

#if !defined(Q_OS_WIN)
// A file opened without waiting (opening a pipe waits for a writer, and a serial line may wait
// for its carrier) and closed when this goes; fd is negative when it could not be opened.
struct OpenFile {
    OpenFile(const QString& name, int flags)
        : fd(::open(QFile::encodeName(name).constData(),
                    flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (fd >= 0)
            ::close(fd);
    }
    const int fd;
};
#endif

// What the reading thread shares with the caller, who may give up and return while the thread
// is still blocked in the kernel; the last of the two frees it.
struct Transfer {
    std::mutex mutex;
    std::condition_variable changed;
    quint64 steps = 0;                       // calls that came back: the open, then each read
    std::optional<Result<FileBytes>> result; // once the thread is done

    void step() {
        {
            const std::lock_guard lock(mutex);
            ++steps;
        }
        changed.notify_one();
    }
};

constexpr qint64 ChunkBytes = 64 * 1024;

// Reads the file in the calling thread, counting each call that comes back as a step. May block
// for good on a file that looks regular but is not.
Result<FileBytes> readNow(const QString& fileName, qint64 maxBytes, Transfer& transfer) {
    FileBytes result;
#if defined(Q_OS_WIN)
    const QFileInfo info(fileName);
    if (info.isDir())
        return failed(fileName, notAFile(true));
    // Opening a pipe (\\.\pipe\...) or a device (COM1, CON) does not wait, but reading it may,
    // so only what the system calls a disk file is read.
    const QString native = QDir::toNativeSeparators(fileName);
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(native.utf16()),
                                      GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failed(fileName, Text::tr("cannot open the file: %1").arg(qt_error_string(-1)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return failed(fileName, notAFile(false));
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return failed(fileName, Text::tr("cannot open the file: %1").arg(qt_error_string(errno)));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return failed(fileName, Text::tr("cannot open the file: %1").arg(file.errorString()));
    }
    transfer.step();
    while (result.data.size() < maxBytes) {
        const QByteArray chunk = file.read(std::min(ChunkBytes, maxBytes - result.data.size()));
        transfer.step();
        if (file.error() != QFileDevice::NoError)
            return failed(fileName, Text::tr("cannot read the file: %1").arg(file.errorString()));
        if (chunk.isEmpty())
            break;
        result.data += chunk;
    }
    result.truncated = file.size() > result.data.size();
#else
    const OpenFile file(fileName, O_RDONLY);
    const int fd = file.fd;
    if (fd < 0)
        return failed(fileName, Text::tr("cannot open the file: %1").arg(qt_error_string(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return failed(fileName, notAFile(S_ISDIR(st.st_mode)));
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    transfer.step();
    QByteArray chunk(qsizetype(std::min(ChunkBytes, std::max<qint64>(maxBytes, 1))),
                     Qt::Uninitialized);
    while (result.data.size() < maxBytes) {
        const ssize_t got =
            ::read(fd, chunk.data(),
                   size_t(std::min<qint64>(chunk.size(), maxBytes - result.data.size())));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failed(fileName,
                          Text::tr("cannot read the file: %1").arg(qt_error_string(errno)));
        transfer.step();
        if (got == 0)
            break;
        result.data.append(chunk.constData(), qsizetype(got));
    }
    result.truncated = st.st_size > result.data.size();
#endif
    return result;
}

} // namespace

Result<FileBytes> readBoundedFile(const QString& fileName, qint64 maxBytes,
                                  std::chrono::milliseconds stallLimit) {
    // The file is read in a thread of its own, and the caller waits for it with a deadline that
    // each piece of data renews; when it passes, the caller returns and the thread is left to
    // finish (or stay blocked, holding one descriptor) on its own. Waiting with poll() instead
    // cannot work: the kernel reports a regular file as always readable, FUSE files and pseudo
    // files included, and the read itself then blocks. Interrupting the read with a timer signal
    // would take a signal handler away from the program.
    const auto transfer = std::make_shared<Transfer>();
    try {
        std::thread([transfer, fileName, maxBytes] {
            Result<FileBytes> result = readNow(fileName, maxBytes, *transfer);
            {
                const std::lock_guard lock(transfer->mutex);
                transfer->result = std::move(result);
            }
            transfer->changed.notify_one();
        }).detach();
    } catch (const std::system_error& e) {
        return failed(fileName,
                      Text::tr("cannot read the file: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    std::unique_lock lock(transfer->mutex);
    for (;;) {
        const quint64 seen = transfer->steps;
        if (!transfer->changed.wait_for(
                lock, stallLimit, [&] { return transfer->result || transfer->steps != seen; }))
            return failed(fileName,
                          Text::tr("the file gave no data for %1 s; it is not an ordinary file")
                              .arg(double(stallLimit.count()) / 1000));
        if (transfer->result)
            return std::move(*transfer->result);
    }
}

#if !defined(Q_OS_WIN)
namespace {

// Gives the new file the owner, group and permissions of the one it replaces, as far as this
// user may. Where the group cannot be kept, its permissions fall to those of everyone else, so
// that no group gains access it did not have.
void keepIdentity(int fd, const struct stat& old) {
    const bool groupKept =
        ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, uid_t(-1), old.st_gid) == 0;
    const mode_t mode = old.st_mode & 0777;
    ::fchmod(fd, groupKept ? mode : (mode & 0707) | ((mode & 07) << 3));
}

// Writes count bytes at offset; returns how many went, with errno set when not all did.
qint64 writeAt(int fd, const char* data, qint64 count, qint64 offset) {
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::pwrite(fd, data + done, size_t(count - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            errno = n == 0 ? ENOSPC : errno;
            break;
        }
        done += n;
    }
    return done;
}

// Whether the node is another user's in a folder that every user may write to, such as /tmp:
// planted there, a link could lead a save into any file of this user's, and a file with other
// names could take in what was meant for this name. The system follows no such link either
// (fs.protected_symlinks).
bool planted(const QString& name, const struct stat& node) {
    struct stat folder {};
    return ::stat(QFile::encodeName(QFileInfo(name).absolutePath()).constData(), &folder) == 0 &&
           (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH) && node.st_uid != ::geteuid() &&
           node.st_uid != folder.st_uid;
}

// A file with other names (hard links) is rewritten in place, so that every name keeps showing
// the same file. The space is reserved first, so a full disk fails before anything changes, and
// the bytes overwritten are put back should the write still fail part-way. A refusal names the
// file as fileName, though it is path that is written.
Result<void> rewriteInPlace(const QString& fileName, const QString& path, const QByteArray& bytes) {
    const OpenFile file(path, O_RDWR);
    const int fd = file.fd;
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return failed(fileName, qt_error_string(errno));
    if (!S_ISREG(st.st_mode))
        return failed(fileName, notAFile(S_ISDIR(st.st_mode)));
    const qint64 oldSize = st.st_size;
    QByteArray old(qsizetype(std::min<qint64>(oldSize, bytes.size())), Qt::Uninitialized);
    for (qint64 got = 0; got < old.size();) {
        const ssize_t n = ::pread(fd, old.data() + got, size_t(old.size() - got), off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(fileName, qt_error_string(errno));
        if (n == 0) { // shorter than it was a moment ago
            old.truncate(got);
            break;
        }
        got += n;
    }
    const auto undo = [&](qint64 written, int error) {
        writeAt(fd, old.constData(), std::min<qint64>(written, old.size()), 0);
        if (::ftruncate(fd, off_t(oldSize)) == 0)
            ::fsync(fd);
        return failed(fileName, qt_error_string(error));
    };
#if defined(Q_OS_LINUX)
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(bytes.size())) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        return undo(0, errno);
#endif
    const qint64 written = writeAt(fd, bytes.constData(), bytes.size(), 0);
    if (written < bytes.size())
        return undo(written, errno);
    if (::ftruncate(fd, off_t(bytes.size())) != 0 || ::fsync(fd) != 0)
        return failed(fileName, qt_error_string(errno));
    return {};
}

} // namespace
#endif

std::optional<QString> fileToBeWritten(const QString& name) {
    QFileInfo file(name);
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth) {
#if !defined(Q_OS_WIN)
        struct stat link {};
        if (::lstat(QFile::encodeName(file.filePath()).constData(), &link) == 0 &&
            planted(file.filePath(), link))
            return std::nullopt;
#endif
        file.setFile(file.symLinkTarget());
    }
    return file.filePath();
}

Result<void> replaceFile(const QString& fileName, const QByteArray& bytes) {
    const std::optional<QString> destination = fileToBeWritten(fileName);
    if (!destination)
        return failed(fileName, Text::tr("it is another user's symbolic link in a folder open to "
                                         "every user; it is not followed"));
    // QSaveFile would rename its new file over whatever has the name; through a symbolic link it
    // writes to the link's target, which must be a regular file too.
    const QFileInfo target(fileName);
    if (target.exists() && !target.isFile())
        return failed(fileName, notAFile(target.isDir()));
#if !defined(Q_OS_WIN)
    struct stat old {};
    const bool exists = ::stat(QFile::encodeName(*destination).constData(), &old) == 0;
    if (exists && S_ISREG(old.st_mode) && old.st_nlink > 1 && !planted(*destination, old))
        return rewriteInPlace(fileName, *destination, bytes);
#endif
    QSaveFile file(fileName);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(fileName, file.errorString());
#if !defined(Q_OS_WIN)
    if (exists)
        keepIdentity(file.handle(), old);
#endif
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) // the temporary file is removed
        return failed(fileName,
                      file.error() != QFileDevice::NoError && written < 0
                          ? file.errorString()
                          : Text::tr("only %1 of %2 bytes could be written (is the disk full?)")
                                .arg(std::max<qint64>(written, 0))
                                .arg(bytes.size()));
    if (!file.commit())
        return failed(fileName, file.errorString());
    return {};
}

} // namespace orvane
