#include "downloadsession.h"

#include "networkline.h"
#include "serialline.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace orvane {

namespace {

// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Download)
};

// How often the driver is asked what it still holds; a character takes 37 ms at 300 baud.
constexpr std::chrono::milliseconds PollInterval(10);

// The characters of the frame up to and including column col: "S" and two digits a column.
constexpr int charactersThrough(int col) {
    return 1 + 2 * (col + 1);
}

// "5", "0.4": milliseconds as seconds to a tenth.
QString seconds(qint64 ms) {
    const qint64 tenths = (ms + 50) / 100;
    if (tenths % 10 == 0)
        return QString::number(tenths / 10);
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

} // namespace

DownloadSession::DownloadSession(DownloadDeadlines deadlines, QObject* parent)
    : QObject(parent), deadlines_(deadlines) {
    poller_.setInterval(PollInterval);
    connect(&poller_, &QTimer::timeout, this, &DownloadSession::poll);
}

DownloadSession::~DownloadSession() {
    running_ = false;
    poller_.stop();
    if (line_) {
        line_->disconnect(this);
        line_->abort();
    }
}

Result<void> DownloadSession::start(const LinkTarget& target, const DotPattern& picture,
                                    Speed speed) {
    Q_ASSERT(!running_);
    failure_.reset();
    handed_ = written_ = gone_ = nextColumn_ = 0;
    opened_ = closing_ = false;
    bytes_ = DownloadFrame::encode(picture.reader(), speed);
    if (line_) // the last download's, which may still be emitting its end
        std::exchange(line_, nullptr)->deleteLater();
    if (target.kind == LinkTarget::Kind::Network)
        line_ = new NetworkLine(target.address, this);
    else
        line_ = new SerialLine(target, this);
    connect(line_, &SignLine::opened, this, &DownloadSession::opened);
    connect(line_, &SignLine::written, this, &DownloadSession::written);
    connect(line_, &SignLine::failed, this, &DownloadSession::fail);
    connect(line_, &SignLine::closed, this, &DownloadSession::report);
    if (Result<void> opened = line_->open(); !opened)
        return std::move(opened).framed(Text::tr("Cannot open %1: %2"));
    running_ = true;
    emit started();
    return {};
}

void DownloadSession::opened() {
    if (!running_)
        return;
    opened_ = true;
    sinceLineMoved_.start();
    poller_.start();
    writeNext();
}

void DownloadSession::written(qint64 count) {
    if (!running_)
        return;
    written_ += int(count);
    sinceLineMoved_.restart();
    queueStep();
}

// Everything that may emit, or close the line, runs from the event loop here or in poll(),
// never inside one of the line's own signals.
void DownloadSession::queueStep() {
    if (std::exchange(stepQueued_, true))
        return;
    QMetaObject::invokeMethod(this, &DownloadSession::step, Qt::QueuedConnection);
}

void DownloadSession::step() {
    stepQueued_ = false;
    if (!running_)
        return;
    if (failure_) {
        finish();
        return;
    }
    if (closing_) // everything has gone out; the line is closing
        return;
    const Result<qint64> queued = line_->queued();
    if (!queued) {
        failure_ = failure(queued.refusal().reason);
        finish();
        return;
    }
    const int gone = std::clamp(written_ - int(*queued), gone_, written_);
    if (gone > gone_) {
        gone_ = gone;
        sinceLineMoved_.restart();
    }
    const QPointer<DownloadSession> alive(this);
    while (nextColumn_ < PatternCols && gone_ >= charactersThrough(nextColumn_)) {
        emit columnSent(nextColumn_++);
        if (!alive || !running_)
            return;
    }
    writeNext();
}

void DownloadSession::poll() {
    const QPointer<DownloadSession> alive(this);
    step();
    if (!alive || !running_)
        return;
    if (gone_ == DownloadFrame::Length) {
        finish();
        return;
    }
    const qint64 waited = sinceLineMoved_.elapsed();
    if (waited < deadlines_.stall.count())
        return;
    QString reason = Text::tr("the line took no data for %1 s").arg(seconds(waited));
    if (written_ == DownloadFrame::Length)
        reason +=
            Text::tr("; %1 of %2 characters had not gone out").arg(written_ - gone_).arg(written_);
    failure_ = failure(reason);
    finish();
}

void DownloadSession::writeNext() {
    if (!opened_ || handed_ != written_ || handed_ >= bytes_.size())
        return;
    if (const Result<void> taken = line_->write(QByteArrayView(bytes_.constData() + handed_, 1));
        !taken) {
        fail(taken.refusal().reason);
        return;
    }
    ++handed_;
}

void DownloadSession::fail(const QString& reason) {
    if (!failure_)
        failure_ = failure(reason);
    queueStep();
}

// The line is held open until the frame has gone out (from a network server's line, until it
// has had time to); its closed() or failed() then ends the download.
void DownloadSession::finish() {
    if (!failure_) {
        if (!std::exchange(closing_, true)) {
            poller_.stop();
            line_->finish();
        }
        return;
    }
    report();
}

void DownloadSession::report() {
    if (!running_)
        return;
    running_ = false;
    poller_.stop();
    line_->abort();
    emit finished(failure_ ? Result<Delivery>(*failure_) : Delivery{written_});
}

Refusal DownloadSession::failure(const QString& reason) const {
    const QString description = line_->description();
    if (!opened_)
        return {description, reason, Text::tr("Cannot connect to %1: %2")};
    if (written_ < DownloadFrame::Length)
        return {description, reason,
                Text::tr("Sending to %1 failed after %2 of %3 characters: %4")
                    .arg(QStringLiteral("%1"), QString::number(written_),
                         QString::number(DownloadFrame::Length), QStringLiteral("%2"))};
    return {description, reason, Text::tr("Finishing the download on %1 failed: %2")};
}

} // namespace orvane
