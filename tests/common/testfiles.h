#pragma once

// Files for tests: written into a temporary folder, read back, and pattern files built from
// their columns.

#include "dotpattern.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

namespace orvane::testing {

// Writes bytes to `name` in dir and returns its path; the test stops when it cannot.
inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The whole file; empty when it cannot be read.
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A pattern file as Save writes it: columns 0.. from `columns` (the rest "BBBBBBBB"), then the
// speed line and the empty line, every line ending in CR LF.
inline QByteArray patternFile(const QList<QByteArray>& columns = {},
                              const QByteArray& speedLine = " 5 ") {
    QByteArray bytes;
    for (int col = 0; col < PatternCols; ++col)
        bytes += (col < columns.size() ? columns[col] : QByteArray("BBBBBBBB")) + "\r\n";
    return bytes + speedLine + "\r\n\r\n";
}

} // namespace orvane::testing
