#pragma once

// Files the user names, read and written safely. Only a regular file is read (a pipe, a terminal
// or another device could block forever or never end), it is opened without waiting, and at most
// a given number of bytes is read. A file is written whole or not at all. Used for pattern files,
// fonts and images alike.

#include <QByteArray>
#include <QString>

namespace orvane {

struct BoundedRead {
    bool ok = false;
    QByteArray data;        // at most the bytes asked for
    bool truncated = false; // the file holds more than that
    QString error;          // why it could not be read, in plain words (no file name)
};

BoundedRead readBoundedFile(const QString& fileName, qint64 maxBytes);

// Writes bytes to the named file atomically: an existing file is replaced only once the new
// content is completely on disk, and is left as it was on failure. On failure returns false and
// sets *reason (no file name).
bool writeFileAtomically(const QString& fileName, const QByteArray& bytes, QString* reason);

} // namespace orvane
