#include "messages.h"

#include <QCoreApplication>
#include <QMutex>

#include <atomic>
#include <cstdio>
#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace orvane {

namespace {

const char* programName = "";
#if defined(Q_OS_UNIX)
int programStderr = -1; // standard error as it was at start-up: a capture does not take it over
#endif

void writeLine(const QByteArray& line) {
#if defined(Q_OS_UNIX)
    const int fd = programStderr >= 0 ? programStderr : STDERR_FILENO;
    for (qsizetype done = 0; done < line.size();) {
        const ssize_t n = ::write(fd, line.constData() + done, size_t(line.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
#else
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
#endif
}

// The translation context of the kinds of message.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Messages)
};

void programHandler(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg)
        return;
    const QString line = type == QtWarningMsg ? asWarning(text)
                         : type == QtInfoMsg  ? Text::tr("note: ") + text
                                              : Text::tr("error: ") + text;
    writeLine(QByteArray(programName) + ": " + line.toLocal8Bit() + '\n');
}

// One capture at a time; the handler it replaced, for the other threads (kept afterwards, so that
// one that still calls the capture's handler finds it).
QBasicMutex captureLock;
std::atomic<QtMessageHandler> replaced = nullptr;
thread_local MessageCapture* capturing = nullptr; // the capture on this thread

} // namespace

QString asWarning(const QString& text) {
    return Text::tr("warning: ") + text;
}

void installMessageHandler(const char* program) {
    programName = program;
#if defined(Q_OS_UNIX)
    if (programStderr < 0)
        programStderr = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
#endif
    replaced = programHandler;
    qInstallMessageHandler(programHandler);
}

void MessageCapture::collect(QtMsgType type, const QMessageLogContext& context,
                             const QString& text) {
    if (capturing && type != QtFatalMsg) {
        capturing->lines_.append({text, type != QtDebugMsg && type != QtInfoMsg});
        return;
    }
    if (const QtMessageHandler handler = replaced)
        handler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

MessageCapture::MessageCapture() {
    captureLock.lock();
    std::fflush(stderr);
#if defined(Q_OS_UNIX)
    // Writes that do not fit the pipe fail rather than block; what is lost is only noise.
    int ends[2];
    if (::pipe(ends) == 0) {
        ::fcntl(ends[0], F_SETFL, O_NONBLOCK);
        ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
        savedStderr_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
        if (savedStderr_ >= 0 && ::dup2(ends[1], STDERR_FILENO) >= 0) {
            pipeRead_ = ends[0];
        } else {
            ::close(ends[0]);
            if (savedStderr_ >= 0)
                ::close(savedStderr_);
            savedStderr_ = -1;
        }
        ::close(ends[1]);
    }
#endif
    capturing = this;
    replaced = qInstallMessageHandler(collect);
}

MessageCapture::~MessageCapture() {
    finish();
}

QStringList MessageCapture::finish(bool all) {
    if (!done_) {
        done_ = true;
        qInstallMessageHandler(replaced);
        capturing = nullptr;
        std::fflush(stderr);
#if defined(Q_OS_UNIX)
        if (pipeRead_ >= 0) {
            ::dup2(savedStderr_, STDERR_FILENO);
            ::close(savedStderr_);
            QByteArray written;
            char chunk[4096];
            for (ssize_t n; (n = ::read(pipeRead_, chunk, sizeof chunk)) > 0;)
                written.append(chunk, n);
            ::close(pipeRead_);
            for (const QByteArray& line : written.split('\n'))
                lines_.append({QString::fromLocal8Bit(line), true});
        }
#endif
        captureLock.unlock();
    }
    QStringList said;
    for (const Line& line : std::as_const(lines_)) {
        const QString text = line.text.trimmed();
        if (!text.isEmpty() && (all || line.warning) && !said.contains(text))
            said << text;
    }
    return said;
}

} // namespace orvane
