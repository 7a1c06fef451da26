#include "downloadsession.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
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
    connect(&line_.port(), &QSerialPort::bytesWritten, this, &DownloadSession::bytesWritten);
    connect(&line_.port(), &QSerialPort::errorOccurred, this, &DownloadSession::portError);
}

DownloadSession::~DownloadSession() {
    running_ = false;
    poller_.stop();
    disconnect(&line_.port(), nullptr, this, nullptr);
    line_.setPortOpen(false);
    if (network_)
        network_->disconnect(this);
}

bool DownloadSession::start(const SerialPort& port, const DotPattern& picture, Speed speed) {
    Q_ASSERT(!running_);
    result_ = {};
    failure_.reset();
    handed_ = written_ = gone_ = nextColumn_ = 0;
    networkOpen_ = closing_ = false;
    network_.reset();
    bytes_.clear();
    frame_.send(
        picture.reader(), [speed] { return speed; },
        [this](char c) {
            bytes_.append(c);
            return true;
        });
    if (isNetworkName(port.explicitDevice())) {
        const auto address = parseNetworkAddress(port.explicitDevice(), &result_.refusal);
        if (!address)
            return false;
        network_ = std::make_unique<NetworkLine>(*address);
        connect(network_.get(), &SignLine::opened, this, &DownloadSession::networkOpened);
        connect(network_.get(), &SignLine::written, this, &DownloadSession::bytesWritten);
        connect(network_.get(), &SignLine::failed, this, &DownloadSession::fail);
        connect(network_.get(), &SignLine::closed, this, &DownloadSession::report);
        running_ = true;
        network_->open();
        emit status(DownloadStartText);
        return true;
    }
    line_.setCommPort(port.CommPort());
    line_.setDevice(port.explicitDevice());
    if (!line_.setPortOpen(true)) {
        result_.refusal = {line_.description(), line_.errorString(),
                           Text::tr("Cannot open %1: %2")};
        return false;
    }
    running_ = true;
    sinceLineMoved_.start();
    poller_.start();
    const QPointer<DownloadSession> alive(this);
    emit status(DownloadStartText);
    if (alive && running_)
        writeNext();
    return true;
}

void DownloadSession::networkOpened() {
    if (!running_)
        return;
    networkOpen_ = true;
    sinceLineMoved_.start();
    poller_.start();
    writeNext();
}

void DownloadSession::bytesWritten(qint64 count) {
    if (!running_)
        return;
    written_ += int(count);
    sinceLineMoved_.restart();
    queueStep();
}

void DownloadSession::portError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || !running_)
        return;
    const QString reason = line_.port().errorString();
#if !defined(Q_OS_WIN)
    if (reason == qt_error_string(EAGAIN)) {
        // The driver's buffer is full: the character stays with QSerialPort until the line takes
        // it, within the stall deadline. QSerialPort tries again each time the system calls the
        // port writable, which a driver with too little room may keep doing; its write notifier
        // rests until the next poll instead.
        line_.port().clearError();
        for (QSocketNotifier* notifier : line_.port().findChildren<QSocketNotifier*>()) {
            if (notifier->type() == QSocketNotifier::Write && notifier->isEnabled()) {
                notifier->setEnabled(false);
                pausedRetries_ = notifier;
            }
        }
        return;
    }
#endif
    fail(reason);
}

// Everything that may emit, or close the port, runs from the event loop here or in poll(),
// never inside one of QSerialPort's own signals.
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
    const qint64 queued = network_ ? network_->queued() : line_.OutBufferCount();
    if (queued < 0) {
        failure_ = failure(network_ ? network_->errorString() : line_.errorString());
        finish();
        return;
    }
    const int gone = std::clamp(written_ - int(queued), gone_, written_);
    if (gone > gone_) {
        gone_ = gone;
        sinceLineMoved_.restart();
    }
    const QPointer<DownloadSession> alive(this);
    while (nextColumn_ < PatternCols && gone_ >= charactersThrough(nextColumn_)) {
        emit status(QString::number(nextColumn_++));
        if (!alive || !running_)
            return;
    }
    writeNext();
}

void DownloadSession::poll() {
    if (pausedRetries_) {
        pausedRetries_->setEnabled(true);
        pausedRetries_.clear();
    }
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
    if (handed_ != written_ || handed_ >= bytes_.size())
        return;
    const QByteArrayView next(bytes_.constData() + handed_, 1);
    if (network_ ? !network_->write(next) : !line_.setOutput(next)) {
        fail(network_ ? network_->errorString() : line_.errorString());
        return;
    }
    ++handed_;
}

void DownloadSession::fail(const QString& reason) {
    if (!failure_)
        failure_ = failure(reason);
    queueStep();
}

// A network line is held open until the frame has had time to leave the far end's line; its
// closed() or failed() then ends the download.
void DownloadSession::finish() {
    if (network_ && !failure_) {
        if (!std::exchange(closing_, true)) {
            poller_.stop();
            network_->finish();
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
    line_.setPortOpen(false);
    if (network_)
        network_->abort();
    result_ = failure_ ? Result<Delivery>::refused(*failure_, {written_})
                       : Result<Delivery>::accepted({written_});
    const QPointer<DownloadSession> alive(this);
    if (result_.ok)
        emit status(DownloadCompleteText);
    if (alive)
        emit finished(result_);
}

QString DownloadSession::description() const {
    return network_ ? network_->description() : line_.description();
}

Refusal DownloadSession::failure(const QString& reason) const {
    if (network_ && !networkOpen_)
        return {description(), reason, Text::tr("Cannot connect to %1: %2")};
    if (written_ < DownloadFrame::Length)
        return {description(), reason,
                Text::tr("Sending to %1 failed after %2 of %3 characters: %4")
                    .arg(QStringLiteral("%1"), QString::number(written_),
                         QString::number(DownloadFrame::Length), QStringLiteral("%2"))};
    return {description(), reason, Text::tr("Finishing the download on %1 failed: %2")};
}

} // namespace orvane
