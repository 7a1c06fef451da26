#pragma once

// Files the user names, read and written safely. Only a regular file is read (a pipe, a terminal
// or another device could block forever or never end), it is opened without waiting, at most a
// given number of bytes is read, and a file that gives no data for a while is given up: some
// files that look regular block like a pipe (/proc/kmsg, tracefs's trace_pipe, a stuck FUSE or
// network file system). Only a regular file, or a symbolic link to one, is replaced by a write;
// a file is written whole or not at all, and keeps its owner and its other names. Used for pattern
// files, fonts and images alike.

#include "result.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <optional>

namespace orvane {

struct FileBytes {
    QByteArray data;        // at most the bytes asked for
    bool truncated = false; // the file holds more than that
};

// How long opening the file or one read from it may take before the file is given up.
inline constexpr std::chrono::milliseconds DefaultStallLimit{5000};

// Returns within about stallLimit of the last data the file gave, whatever the file does. A
// refusal's subject is fileName.
Result<FileBytes> readBoundedFile(const QString& fileName, qint64 maxBytes,
                                  std::chrono::milliseconds stallLimit = DefaultStallLimit);

// Writes bytes to the named file whole or not at all: an existing file is replaced only once the
// new content is completely on disk, and is left as it was on failure. The new file keeps the
// old one's owner, group and permissions where this user may set them; a file with other names
// (hard links) is rewritten in place instead, so that those names show the new content too.
// Anything but a regular file (a folder, a device, a pipe, a socket) is refused and left alone.
// A refusal's subject is fileName.
Result<void> replaceFile(const QString& fileName, const QByteArray& bytes);

// The file replaceFile() writes for `name`: where its symbolic links lead, whether that file
// exists or not. Nothing when one of the links is another user's in a folder that every user may
// write to (such as /tmp); replaceFile() follows no such link.
std::optional<QString> fileToBeWritten(const QString& name);

} // namespace orvane
