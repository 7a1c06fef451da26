#pragma once

// Reading a file the user named, safely: only a regular file is read (a pipe, a terminal or
// another device could block forever or never end), it is opened without waiting, and at most a
// given number of bytes is read. Used for pattern files, fonts and images alike.

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

} // namespace orvane
