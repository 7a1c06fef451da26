#pragma once

// A file that looks regular but gives no data until told to: trace_pipe of a tracing instance of
// its own, on tracefs mounted in a temporary folder (mounting needs root). Its folder holds
// ordinary tracefs files beside it.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane::testing {

class StalledFile {
public:
    StalledFile() {
        if (!mountPoint_.isValid() || mount("nodev", at_.constData(), "tracefs", 0, nullptr) != 0)
            return;
        mounted_ = true;
        instance_ = at_ + "/instances/orvane-test-" + QByteArray::number(getpid());
        made_ = mkdir(instance_.constData(), 0700) == 0;
    }
    StalledFile(const StalledFile&) = delete;
    StalledFile& operator=(const StalledFile&) = delete;
    // An instance outlives the mount, and goes only once no reader is left on it: a line for each
    // reader still blocked lets it finish.
    ~StalledFile() {
        for (int tries = 0; made_ && tries < 200; ++tries) {
            if (rmdir(instance_.constData()) == 0 || errno == ENOENT)
                break;
            release();
            QThread::msleep(50);
        }
        if (mounted_)
            umount2(at_.constData(), MNT_DETACH);
    }

    bool ok() const { return made_; } // false: no tracefs to mount
    QString folder() const { return QFile::decodeName(instance_); }
    QString path() const { return folder() + QStringLiteral("/trace_pipe"); }

    // A line in the buffer: a read blocked on the file gets it and goes on.
    bool release() const {
        const int marker = open((instance_ + "/trace_marker").constData(), O_WRONLY | O_CLOEXEC);
        const bool written = marker >= 0 && write(marker, "orvane test\n", 12) == 12;
        if (marker >= 0)
            close(marker);
        return written;
    }

private:
    QTemporaryDir mountPoint_;
    QByteArray at_ = QFile::encodeName(mountPoint_.path());
    QByteArray instance_;
    bool mounted_ = false;
    bool made_ = false;
};

} // namespace orvane::testing
