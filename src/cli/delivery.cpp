#include "delivery.h"

#include "downloadframe.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <climits>
#include <limits>
#include <memory>
#if !defined(Q_OS_WIN)
#include <sys/resource.h>
#endif

namespace orvane {

namespace {

// Descriptors a download may hold: the device, its lock file, and the one that puts the line
// settings in force while the device opens (a network link holds only its socket).
constexpr int DescriptorsPerDownload = 3;
// Descriptors left for everything else: the files the program reads and writes, Qt's own.
constexpr int ReservedDescriptors = 32;

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

    // The one download's progress: its column follows the line.
    void started() {
        if (total_ == 1)
            show(Text::tr("sending to %1 ...").arg(port_));
    }
    void columnSent(int column) {
        if (total_ == 1)
            show(Text::tr("sending to %1: column %2 of %3")
                     .arg(port_)
                     .arg(column + 1)
                     .arg(PatternCols));
    }
    void showCount() {
        if (total_ > 1)
            show(Text::tr("sending to %1 devices: %2 ended").arg(total_).arg(ended_));
    }
    void ended(const Target& target, const Result<Delivery>& result) {
        ++ended_;
        if (!result)
            failed_ << target.label();
        if (total_ == 1) {
            if (result)
                show(Text::tr("sent %1 characters to %2").arg(DownloadFrame::Length).arg(port_));
            if (shown_)
                std::fputc('\n', err_); // the last progress stays
            shown_ = false;
            if (!result)
                printMessage(err_, result.error());
            return;
        }
        hide();
        // A failure names the device; a sign's name goes before it.
        if (result)
            printMessage(err_,
                         Text::tr("%1: sent %2 characters").arg(target.label()).arg(result->sent));
        else
            printMessage(err_, target.name.isEmpty()
                                   ? result.error()
                                   : target.name + QStringLiteral(": ") + result.error());
        if (allEnded() && !failed_.isEmpty())
            printMessage(err_, Text::tr("%1 of %2 devices failed: %3")
                                   .arg(failed_.size())
                                   .arg(total_)
                                   .arg(failed_.join(QStringLiteral(", "))));
        else if (!allEnded())
            showCount();
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

// The downloads of one run, started as descriptors allow.
struct Fanout {
    SendRun* run;
    QList<Target> targets;
    DotPattern picture;
    Speed speed;
    Report report;
    int atOnce;
    qsizetype next = 0; // the next target to start
    int running = 0;
};

// Starts downloads until as many run as may at once; ends the run once every one has ended.
void startMore(const std::shared_ptr<Fanout>& f, bool announce) {
    while (f->running < f->atOnce && f->next < f->targets.size()) {
        const Target& target = f->targets[f->next++];
        DownloadSession* session = f->run->addSession();
        QObject::connect(session, &DownloadSession::started, f->run, [f] { f->report.started(); });
        QObject::connect(session, &DownloadSession::columnSent, f->run,
                         [f](int column) { f->report.columnSent(column); });
        QObject::connect(session, &DownloadSession::finished, f->run,
                         [f, session, target](const Result<Delivery>& result) {
                             --f->running;
                             f->report.ended(target, result);
                             session->deleteLater();
                             startMore(f, true);
                         });
        if (const Result<void> started = session->start(target.link, f->picture, f->speed)) {
            ++f->running;
        } else {
            f->report.ended(target, started.refusal());
            session->deleteLater();
        }
    }
    if (f->report.allEnded())
        f->run->end(f->report.exitCode(), announce);
}

} // namespace

int downloadsAtOnce() {
#if defined(Q_OS_WIN)
    return std::numeric_limits<int>::max();
#else
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<int>::max();
    // Linux tells how many are open; elsewhere the reserve stands for them.
    const qint64 open = QDir(QStringLiteral("/proc/self/fd"))
                            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                            .size();
    const qint64 free =
        qint64(std::min<rlim_t>(limit.rlim_cur, INT_MAX)) - open - ReservedDescriptors;
    return int(std::max<qint64>(1, free / DescriptorsPerDownload));
#endif
}

void startDownloads(SendRun& run, const QList<Target>& targets, const DotPattern& picture,
                    Speed speed, std::FILE* err, bool progress) {
    auto fanout = std::make_shared<Fanout>(
        Fanout{&run, targets, picture, speed, Report(err, progress, targets), downloadsAtOnce()});
    fanout->report.showCount();
    startMore(fanout, false);
}

} // namespace orvane
