#include "boundedfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

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

BoundedRead failed(const QString& reason) {
    BoundedRead result;
    result.error = reason;
    return result;
}

QString notAFile(bool isFolder) {
    return isFolder ? Text::tr("it is a folder, not a file")
                    : Text::tr("it is a device or a pipe, not a file");
}

} // namespace

BoundedRead readBoundedFile(const QString& fileName, qint64 maxBytes) {
    QFile file;
#if defined(Q_OS_WIN)
    const QFileInfo info(fileName);
    if (info.isDir())
        return failed(notAFile(true));
    // Opening a pipe (\\.\pipe\...) or a device (COM1, CON) does not wait, but reading it may,
    // so only what the system calls a disk file is read.
    const QString native = QDir::toNativeSeparators(fileName);
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(native.utf16()),
                                      GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failed(Text::tr("cannot open the file: %1").arg(qt_error_string(-1)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return failed(notAFile(false));
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return failed(Text::tr("cannot open the file: %1").arg(qt_error_string(errno)));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return failed(Text::tr("cannot open the file: %1").arg(file.errorString()));
    }
#else
    // O_NONBLOCK: opening a pipe waits for a writer, and a serial line may wait for its carrier.
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failed(Text::tr("cannot open the file: %1").arg(qt_error_string(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool isFolder = S_ISDIR(st.st_mode);
        ::close(fd);
        return failed(notAFile(isFolder));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(Text::tr("cannot open the file: %1").arg(file.errorString()));
    }
#endif
    BoundedRead result;
    result.data = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        return failed(Text::tr("cannot read the file: %1").arg(file.errorString()));
    result.truncated = file.size() > result.data.size();
    result.ok = true;
    return result;
}

bool writeFileAtomically(const QString& fileName, const QByteArray& bytes, QString* reason) {
    QSaveFile file(fileName);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        *reason = file.error() != QFileDevice::NoError && written < 0
                      ? file.errorString()
                      : Text::tr("only %1 of %2 bytes could be written (is the disk full?)")
                            .arg(std::max<qint64>(written, 0))
                            .arg(bytes.size());
        return false; // the temporary file is removed
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace orvane
