#include "send.h"

#include "downloadframe.h"
#include "imageexport.h"
#include "messages.h"
#include "patternfile.h"
#include "serialport.h"
#include "source.h"

#include <QCoreApplication>

#include <cerrno>
#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Send)
};
} // namespace

namespace {

void message(std::FILE* err, const QString& text) {
    std::fprintf(err, "orvane-send: %s\n", text.toLocal8Bit().constData());
    std::fflush(err);
}

// Rewrites one line of `err` with the state of the download.
class Progress {
public:
    Progress(std::FILE* err, bool enabled, QString port)
        : err_(err), enabled_(enabled), port_(std::move(port)) {}

    void show(const QString& status) {
        if (!enabled_)
            return;
        QString text;
        if (status == DownloadStartText)
            text = Text::tr("sending to %1 ...").arg(port_);
        else if (status == DownloadCompleteText)
            text = Text::tr("sent %1 characters to %2").arg(DownloadFrame::Length).arg(port_);
        else
            text = Text::tr("sending to %1: column %2 of %3")
                       .arg(port_)
                       .arg(status.toInt() + 1)
                       .arg(PatternCols);
        std::fprintf(err_, "\r\033[K%s", text.toLocal8Bit().constData());
        std::fflush(err_);
        shown_ = true;
    }
    // Ends the progress line so that what follows starts on a line of its own.
    void finish() {
        if (shown_)
            std::fputc('\n', err_);
        shown_ = false;
    }

private:
    std::FILE* err_;
    bool enabled_;
    QString port_;
    bool shown_ = false;
};

// The picture as 8 lines of 50 characters: '#' for a lit dot, '.' for a dark one.
QByteArray shownPicture(const DotPattern& picture) {
    QByteArray text;
    for (int row = 1; row <= PatternRows; ++row) {
        for (int col = 0; col < PatternCols; ++col)
            text += isLit(picture.text(row, col)) ? '#' : '.';
        text += '\n';
    }
    return text;
}

} // namespace

bool isTerminal(std::FILE* stream) {
#if defined(Q_OS_WIN)
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) == 1;
#endif
}

SendRun::SendRun(DownloadDeadlines deadlines) : session_(deadlines) {}

void SendRun::end(int code, bool announce) {
    exitCode_ = code;
    if (announce)
        emit finished(code);
}

std::unique_ptr<SendRun> runSend(const SendOptions& options, std::FILE* out, std::FILE* err,
                                 bool progress, DownloadDeadlines deadlines) {
    auto run = std::make_unique<SendRun>(deadlines);
    const Result<PictureAndSpeed> source = readSource(options);
    for (const QString& warning : source.warnings)
        message(err, asWarning(warning));
    if (!source.ok) {
        message(err, source.error());
        run->end(ExitSourceRefused, false);
        return run;
    }
    const DotPattern& picture = source.picture;
    const Speed speed = options.speed.value_or(source.speed);

    QString error;
    if ((!options.saveFile.isEmpty() &&
         !PatternFile::save(options.saveFile, picture, speed, &error)) ||
        (!options.pngFile.isEmpty() &&
         !savePng(options.pngFile, picture.reader(), options.scale, &error))) {
        message(err, error);
        run->end(ExitPortFailed, false);
        return run;
    }
    if (options.show || options.frameOnly) {
        QByteArray text =
            options.show ? shownPicture(picture) : DownloadFrame::encode(picture.reader(), speed);
        if (options.frameOnly && isTerminal(out))
            text += '\n';
        if (std::fwrite(text.constData(), 1, size_t(text.size()), out) != size_t(text.size()) ||
            std::fflush(out) != 0) {
            message(err,
                    Text::tr("cannot write to standard output: %1").arg(qt_error_string(errno)));
            run->end(ExitPortFailed, false);
            return run;
        }
    }
    if (!options.send) {
        run->end(ExitSent, false);
        return run;
    }

    SerialPort port;
    port.setCommPort(options.port);
    port.setDevice(options.device);
    auto display = std::make_shared<Progress>(err, progress, port.description());
    SendRun* const r = run.get();
    QObject::connect(&r->session(), &DownloadSession::status, r,
                     [display](const QString& status) { display->show(status); });
    QObject::connect(&r->session(), &DownloadSession::finished, r,
                     [r, display, err](const Result<Delivery>& result) {
                         display->finish();
                         if (!result.ok)
                             message(err, result.error());
                         r->end(result.ok ? ExitSent : ExitPortFailed, true);
                     });
    if (!r->session().start(port, picture, speed)) {
        display->finish();
        message(err, r->session().result().error());
        r->end(ExitPortFailed, false);
    }
    return run;
}

} // namespace orvane
