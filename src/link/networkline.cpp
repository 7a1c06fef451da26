#include "networkline.h"

#include "linesettings.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QPointer>

#include <algorithm>

namespace orvane {

namespace {

// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::NetworkLine)
};

// What Qt reads from the socket at most before it is handed on (and dropped).
constexpr qint64 ReadBufferSize = 64 * 1024;

} // namespace

NetworkLine::NetworkLine(NetworkAddress address, QObject* parent)
    : SignLine(parent), address_(std::move(address)) {
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    hold_.setSingleShot(true);
    hold_.setTimerType(Qt::PreciseTimer);
    socket_.setReadBufferSize(ReadBufferSize);
    // The sign's server is reached directly, whatever proxy the environment names.
    socket_.setProxy(QNetworkProxy::NoProxy);
    connect(&lookup_, &HostLookup::finished, this, &NetworkLine::resolved);
    connect(&deadline_, &QTimer::timeout, this, &NetworkLine::deadlinePassed);
    connect(&hold_, &QTimer::timeout, this, &NetworkLine::closeWhenDone);
    connect(&socket_, &QTcpSocket::connected, this, &NetworkLine::connected);
    connect(&socket_, &QTcpSocket::readyRead, this, &NetworkLine::readyRead);
    connect(&socket_, &QTcpSocket::bytesWritten, this, &NetworkLine::bytesWritten);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &NetworkLine::socketError);
    connect(&socket_, &QTcpSocket::disconnected, this, &NetworkLine::serverClosed);
}

NetworkLine::~NetworkLine() {
    abort();
}

qint64 NetworkLine::lineTimeMs(qint64 characters) {
    const qint64 bits = characters * BitsPerCharacter * 1000;
    return (bits + LineSettings::BaudRate - 1) / LineSettings::BaudRate;
}

template <typename F> void NetworkLine::post(F emitter) {
    QMetaObject::invokeMethod(
        this,
        [this, generation = generation_, emitter] {
            if (generation == generation_)
                emitter();
        },
        Qt::QueuedConnection);
}

Result<void> NetworkLine::open() {
    abort();
    codec_ = TelnetCodec();
    wireHanded_ = wireGone_ = 0;
    characterEnds_.clear();
    handed_ = sent_ = 0;
    sinceFirst_.invalidate();
    phase_ = Phase::Resolving;
    startDeadline(); // for the lookup and the connection together
    lookup_.start(address_.host);
    return {};
}

void NetworkLine::resolved(const Result<QList<QHostAddress>>& addresses) {
    if (phase_ != Phase::Resolving)
        return;
    if (!addresses) {
        fail(Text::tr("the name %1 could not be resolved (%2)")
                 .arg(address_.host, addresses.refusal().reason));
        return;
    }
    addresses_ = *addresses;
    phase_ = Phase::Connecting;
    connectNext();
}

// Tries the next address the name gave.
void NetworkLine::connectNext() {
    if (phase_ != Phase::Connecting || addresses_.isEmpty())
        return;
    socket_.abort();
    socket_.connectToHost(addresses_.takeFirst(), address_.port);
}

void NetworkLine::startDeadline() {
    due_ = QDeadlineTimer(AnswerTimeoutMs, Qt::PreciseTimer);
    deadline_.start(AnswerTimeoutMs);
}

void NetworkLine::connected() {
    if (phase_ != Phase::Connecting)
        return;
    if (const Result<void> locked = lock_.lockServer(socket_.peerAddress(), socket_.peerPort());
        !locked) {
        fail(locked.refusal().reason);
        return;
    }
    // The characters go out one by one as they are written, not gathered up.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (address_.protocol == NetworkAddress::Protocol::Raw) {
        phase_ = Phase::Open;
        deadline_.stop();
        post([this] { emit opened(); });
        return;
    }
    phase_ = Phase::Negotiating;
    startDeadline();
    sendProtocol(codec_.start());
}

void NetworkLine::readyRead() {
    const QByteArray bytes = socket_.readAll(); // what the far end's line received: not used
    if (address_.protocol != NetworkAddress::Protocol::Rfc2217 || phase_ == Phase::Closed)
        return;
    const TelnetCodec::Output out = codec_.feed(bytes);
    sendProtocol(out.reply);
    for (const TelnetCodec::Event& event : out.events) {
        if (event.kind == TelnetCodec::Event::Kind::Failed) {
            fail(codec_.failure());
            return;
        }
        if (event.kind == TelnetCodec::Event::Kind::Acknowledged)
            startDeadline(); // the next answer has 5 s of its own
        if (event.kind == TelnetCodec::Event::Kind::Ready && phase_ == Phase::Negotiating) {
            phase_ = Phase::Open;
            deadline_.stop();
            post([this] { emit opened(); });
        }
    }
}

void NetworkLine::sendProtocol(const QByteArray& bytes) {
    if (bytes.isEmpty() || socket_.state() != QAbstractSocket::ConnectedState)
        return;
    if (socket_.write(bytes) != bytes.size()) {
        fail(socket_.errorString());
        return;
    }
    wireHanded_ += bytes.size();
}

Result<void> NetworkLine::write(QByteArrayView text) {
    if (phase_ != Phase::Open)
        return Refusal(description(), Text::tr("the connection is not open"));
    for (const char c : text) {
        const QByteArray wire = address_.protocol == NetworkAddress::Protocol::Rfc2217
                                    ? TelnetCodec::encode(QByteArrayView(&c, 1))
                                    : QByteArray(1, c);
        if (socket_.write(wire) != wire.size())
            return Refusal(description(), socket_.errorString());
        if (!sinceFirst_.isValid())
            sinceFirst_.start();
        wireHanded_ += wire.size();
        characterEnds_ << wireHanded_;
        ++handed_;
    }
    return {};
}

void NetworkLine::bytesWritten(qint64 bytes) {
    wireGone_ += bytes;
    qsizetype taken = 0;
    while (taken < characterEnds_.size() && characterEnds_.at(taken) <= wireGone_)
        ++taken;
    if (taken == 0)
        return;
    characterEnds_.remove(0, taken);
    sent_ += int(taken);
    if (phase_ == Phase::Finishing)
        closeWhenDone();
    emit written(taken);
}

Result<qint64> NetworkLine::queued() {
    if (!sinceFirst_.isValid())
        return 0;
    const qint64 gone = sinceFirst_.elapsed() * LineSettings::BaudRate / (BitsPerCharacter * 1000);
    return qint64(sent_) - std::min<qint64>(sent_, gone);
}

void NetworkLine::finish() {
    if (phase_ != Phase::Open)
        return;
    phase_ = Phase::Finishing;
    closeWhenDone();
}

void NetworkLine::closeWhenDone() {
    if (phase_ != Phase::Finishing)
        return;
    if (sent_ < handed_) {
        // The network has not taken everything yet; it has 5 s from its last taking.
        startDeadline();
        return;
    }
    deadline_.stop();
    const qint64 left =
        sinceFirst_.isValid() ? lineTimeMs(handed_) - sinceFirst_.elapsed() : qint64(0);
    if (left > 0) {
        hold_.start(int(left));
        return;
    }
    phase_ = Phase::Disconnecting;
    socket_.disconnectFromHost();
    if (socket_.state() == QAbstractSocket::UnconnectedState) {
        close();
        post([this] { emit closed(); });
    } else {
        startDeadline();
    }
}

void NetworkLine::socketError(QAbstractSocket::SocketError error) {
    if (phase_ == Phase::Closed || phase_ == Phase::Disconnecting)
        return;
    if (phase_ == Phase::Connecting && !addresses_.isEmpty() &&
        error != QAbstractSocket::RemoteHostClosedError) {
        post([this] { connectNext(); }); // once the socket is done with this one
        return;
    }
    switch (error) {
    case QAbstractSocket::RemoteHostClosedError:
        serverClosed();
        return;
    case QAbstractSocket::HostNotFoundError:
        fail(Text::tr("the name %1 could not be resolved (%2)")
                 .arg(address_.host, socket_.errorString()));
        return;
    case QAbstractSocket::ConnectionRefusedError:
        fail(Text::tr("the connection was refused: nothing takes connections on port %1 of %2")
                 .arg(address_.port)
                 .arg(address_.host));
        return;
    default:
        fail(socket_.errorString());
        return;
    }
}

void NetworkLine::serverClosed() {
    switch (phase_) {
    case Phase::Closed:
        return;
    case Phase::Disconnecting:
        close();
        post([this] { emit closed(); });
        return;
    case Phase::Resolving:
    case Phase::Connecting:
    case Phase::Negotiating:
        fail(Text::tr("the server closed the connection while this program was waiting for %1")
                 .arg(phase_ == Phase::Connecting ? Text::tr("the connection")
                                                  : codec_.waitingFor()));
        return;
    case Phase::Open:
        fail(Text::tr("the server closed the connection"));
        return;
    case Phase::Finishing:
        fail(Text::tr("the server closed the connection before the frame had time to leave its "
                      "line"));
        return;
    }
}

void NetworkLine::deadlinePassed() {
    if (!due_.hasExpired()) {
        const qint64 left = due_.remainingTimeNSecs();
        deadline_.start(int((left + 999999) / 1000000));
        return;
    }
    const int seconds = AnswerTimeoutMs / 1000;
    switch (phase_) {
    case Phase::Resolving:
        fail(Text::tr("the name %1 could not be resolved within %2 s: the name service did not "
                      "answer")
                 .arg(address_.host)
                 .arg(seconds));
        return;
    case Phase::Connecting:
        fail(Text::tr("no answer from %1 port %2 within %3 s")
                 .arg(address_.host)
                 .arg(address_.port)
                 .arg(seconds));
        return;
    case Phase::Negotiating:
        fail(Text::tr("no answer within %1 s while waiting for %2")
                 .arg(seconds)
                 .arg(codec_.waitingFor()));
        return;
    case Phase::Finishing:
        fail(Text::tr("the server took no data for %1 s").arg(seconds));
        return;
    case Phase::Disconnecting: // everything went out; the server is slow to close
        close();
        post([this] { emit closed(); });
        return;
    case Phase::Open:
    case Phase::Closed:
        return;
    }
}

void NetworkLine::fail(const QString& reason) {
    if (phase_ == Phase::Closed)
        return;
    close();
    post([this, reason] { emit failed(reason); });
}

void NetworkLine::abort() {
    ++generation_;
    close();
}

void NetworkLine::close() {
    phase_ = Phase::Closed;
    deadline_.stop();
    hold_.stop();
    lookup_.cancel();
    addresses_.clear();
    socket_.abort();
    lock_.release();
}

} // namespace orvane
