#include "send.h"

#include "delivery.h"
#include "downloadframe.h"
#include "imageexport.h"
#include "messages.h"
#include "patternfile.h"
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

void printMessage(std::FILE* err, const QString& text) {
    std::fprintf(err, "orvane-send: %s\n", text.toLocal8Bit().constData());
    std::fflush(err);
}

SendRun::SendRun(DownloadDeadlines deadlines) : deadlines_(deadlines) {}

// The sessions go first, so that none reports to a run half gone.
SendRun::~SendRun() {
    qDeleteAll(findChildren<DownloadSession*>(Qt::FindDirectChildrenOnly));
}

DownloadSession* SendRun::addSession() {
    return new DownloadSession(deadlines_, this);
}

void SendRun::end(int code, bool announce) {
    exitCode_ = code;
    if (announce)
        emit finished(code);
}

std::unique_ptr<SendRun> runSend(const SendOptions& options, std::FILE* out, std::FILE* err,
                                 bool progress, DownloadDeadlines deadlines) {
    auto run = std::make_unique<SendRun>(deadlines);
    const Result<PictureAndSpeed> source = readSource(options);
    for (const QString& warning : source.warnings())
        printMessage(err, asWarning(warning));
    if (!source) {
        printMessage(err, source.error());
        run->end(ExitSourceRefused, false);
        return run;
    }
    const DotPattern& picture = source->picture;
    const Speed speed = options.speed.value_or(source->speed);

    const Result<void> saved = options.saveFile.isEmpty()
                                   ? Result<void>()
                                   : PatternFile::save(options.saveFile, picture, speed);
    const Result<void> written = !saved || options.pngFile.isEmpty()
                                     ? saved
                                     : savePng(options.pngFile, picture.reader(), options.scale);
    if (!written) {
        printMessage(err, written.error());
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
            printMessage(
                err, Text::tr("cannot write to standard output: %1").arg(qt_error_string(errno)));
            run->end(ExitPortFailed, false);
            return run;
        }
    }
    if (!options.send) {
        run->end(ExitSent, false);
        return run;
    }

    // The signs file is read only when a sign is named.
    const Result<SignList> signsFile =
        options.signs.isEmpty() ? SignList() : readSignsFile(signsFilePath());
    const Result<QList<Target>> targets =
        signsFile ? sendTargets(options, *signsFile) : signsFile.refusal();
    for (const QString& warning : targets.warnings())
        printMessage(err, asWarning(warning));
    if (!targets) {
        printMessage(err, targets.error());
        run->end(signsFile ? ExitUsage : ExitSourceRefused, false);
        return run;
    }
    startDownloads(*run, *targets, picture, speed, err, progress);
    return run;
}

} // namespace orvane
