#pragma once

// Files for tests: written into a temporary folder, read back, pattern files built by column.

#include "dotpattern.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#if defined(Q_OS_WIN)
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#else
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// A pipe nobody writes to: a FIFO `name` in dir, on Windows //./pipe/...; empty when not made.
inline QString makeNamedPipe(const QTemporaryDir& dir, const QString& name) {
#if defined(Q_OS_WIN)
    auto* server = new QLocalServer(QCoreApplication::instance());
    const QString unique = QFileInfo(dir.path()).fileName() + QLatin1Char('-') + name;
    return server->listen(unique) ? QDir::fromNativeSeparators(server->fullServerName())
                                  : QString();
#else
    const QString path = dir.filePath(name);
    return mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
#endif
}

// The system's words for a file that is not there.
inline QString missingFileReason() {
    return qt_error_string(2); // ENOENT, and Windows's ERROR_FILE_NOT_FOUND
}

// A pattern file as Save writes it: `columns`, the rest "BBBBBBBB", the speed line, a blank line.
inline QByteArray patternFile(const QList<QByteArray>& columns = {},
                              const QByteArray& speedLine = " 5 ") {
    QByteArray bytes;
    for (int col = 0; col < PatternCols; ++col)
        bytes += (col < columns.size() ? columns[col] : QByteArray("BBBBBBBB")) + "\r\n";
    return bytes + speedLine + "\r\n\r\n";
}

// A BDF font of `ascent` + 1 rows; each glyph is "CODE DWIDTH WIDTH Y-OFFSET ROW...", rows top
// first.
inline QByteArray bdfFont(const QList<QByteArray>& glyphs, int ascent = 7) {
    QByteArray bdf =
        "STARTFONT 2.1\nFONT test\nSIZE 8 75 75\nFONTBOUNDINGBOX 4 8 0 -1\nSTARTPROPERTIES "
        "2\nFONT_ASCENT " +
        QByteArray::number(ascent) + "\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS 1\n";
    for (const QByteArray& glyph : glyphs) {
        const QList<QByteArray> w = glyph.split(' ');
        bdf += "STARTCHAR g" + w[0] + "\nENCODING " + w[0] + "\nDWIDTH " + w[1] + " 0\nBBX " +
               w[2] + ' ' + QByteArray::number(w.size() - 4) + " 0 " + w[3] + "\nBITMAP\n" +
               w.mid(4).join('\n') + "\nENDCHAR\n";
    }
    return bdf + "ENDFONT\n";
}

#if !defined(Q_OS_WIN)
// Runs `work` in a child process whose files cannot grow past `bytes`, as on a full disk, and
// returns its exit code; -1 when it did not exit.
inline int withFileSizeLimit(rlim_t bytes, const std::function<int()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(work());
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)
               ? WEXITSTATUS(status)
               : -1;
}
#endif

} // namespace orvane::testing
