#include "delivery.h"

#include "downloadframe.h"

#include <QCoreApplication>

namespace orvane {

namespace {

// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Send)
};

// What standard error shows of the downloads: a progress line that is rewritten in place (on a
// terminal only), and the results.
class Report {
public:
    Report(std::FILE* err, bool progress, const QList<Target>& targets)
        : err_(err), progress_(progress), total_(targets.size()),
          port_(targets.size() == 1 ? targets.constFirst().label() : QString()) {}

    // A status of the one download: its column follows the line.
    void status(const QString& status) {
        if (total_ > 1)
            return;
        if (status == DownloadStartText)
            show(Text::tr("sending to %1 ...").arg(port_));
        else if (status == DownloadCompleteText)
            show(Text::tr("sent %1 characters to %2").arg(DownloadFrame::Length).arg(port_));
        else
            show(Text::tr("sending to %1: column %2 of %3")
                     .arg(port_)
                     .arg(status.toInt() + 1)
                     .arg(PatternCols));
    }
    void started() {
        if (total_ > 1)
            show(Text::tr("sending to %1 devices: %2 ended").arg(total_).arg(ended_));
    }
    void ended(const Target& target, const Result<Delivery>& result) {
        ++ended_;
        if (!result.ok)
            failed_ << target.label();
        if (total_ == 1) {
            if (shown_)
                std::fputc('\n', err_); // the last progress stays
            shown_ = false;
            if (!result.ok)
                printMessage(err_, result.error());
            return;
        }
        hide();
        // A failure names the device; a sign's name goes before it.
        if (result.ok)
            printMessage(err_,
                         Text::tr("%1: sent %2 characters").arg(target.label()).arg(result.sent));
        else
            printMessage(err_, target.link.name.isEmpty()
                                   ? result.error()
                                   : target.link.name + QStringLiteral(": ") + result.error());
        if (allEnded() && !failed_.isEmpty())
            printMessage(err_, Text::tr("%1 of %2 devices failed: %3")
                                   .arg(failed_.size())
                                   .arg(total_)
                                   .arg(failed_.join(QStringLiteral(", "))));
        else if (!allEnded())
            started();
    }
    bool allEnded() const { return ended_ == total_; }
    int exitCode() const { return failed_.isEmpty() ? ExitSent : ExitPortFailed; }

private:
    void show(const QString& text) {
        if (!progress_)
            return;
        std::fprintf(err_, "\r\033[K%s", text.toLocal8Bit().constData());
        std::fflush(err_);
        shown_ = true;
    }
    void hide() {
        if (shown_)
            std::fputs("\r\033[K", err_);
        shown_ = false;
    }

    std::FILE* err_;
    bool progress_;
    qsizetype total_;
    QString port_;
    qsizetype ended_ = 0;
    QStringList failed_;
    bool shown_ = false;
};

} // namespace

void startDownloads(SendRun& run, const QList<Target>& targets, const DotPattern& picture,
                    Speed speed, std::FILE* err, bool progress) {
    auto report = std::make_shared<Report>(err, progress, targets);
    report->started();
    SendRun* const r = &run;
    for (const Target& target : targets) {
        DownloadSession& session = run.addSession();
        QObject::connect(&session, &DownloadSession::status, r,
                         [report](const QString& status) { report->status(status); });
        QObject::connect(&session, &DownloadSession::finished, r,
                         [r, report, target](const Result<Delivery>& result) {
                             report->ended(target, result);
                             if (report->allEnded())
                                 r->end(report->exitCode(), true);
                         });
        SerialPort port;
        selectLink(port, target.link);
        if (!session.start(port, picture, speed))
            report->ended(target, session.result());
    }
    // Only when no download could start: the others end in the event loop.
    if (report->allEnded())
        run.end(report->exitCode(), false);
}

} // namespace orvane
