#include "boundedfile.h"

#include <QFile>
#include <QFileInfo>

#if !defined(Q_OS_WIN)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvane {

namespace {

BoundedRead failed(const QString& reason) {
    BoundedRead result;
    result.error = reason;
    return result;
}

QString notAFile(bool isFolder) {
    return isFolder ? QStringLiteral("it is a folder, not a file")
                    : QStringLiteral("it is a device or a pipe, not a file");
}

} // namespace

BoundedRead readBoundedFile(const QString& fileName, qint64 maxBytes) {
    QFile file;
#if defined(Q_OS_WIN)
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return failed(notAFile(info.isDir()));
    file.setFileName(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("cannot open the file: %1").arg(file.errorString()));
#else
    // O_NONBLOCK: opening a pipe waits for a writer, and a serial line may wait for its carrier.
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failed(QStringLiteral("cannot open the file: %1").arg(qt_error_string(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool isFolder = S_ISDIR(st.st_mode);
        ::close(fd);
        return failed(notAFile(isFolder));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(QStringLiteral("cannot open the file: %1").arg(file.errorString()));
    }
#endif
    BoundedRead result;
    result.data = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        return failed(QStringLiteral("cannot read the file: %1").arg(file.errorString()));
    result.truncated = file.size() > result.data.size();
    result.ok = true;
    return result;
}

} // namespace orvane
