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

constexpr QLatin1StringView RawScheme("socket://");
constexpr QLatin1StringView Rfc2217Scheme("rfc2217://");

// What Qt reads from the socket at most before it is handed on (and dropped).
constexpr qint64 ReadBufferSize = 64 * 1024;

} // namespace

QString NetworkAddress::text() const {
    const QString host = this->host.contains(QLatin1Char(':'))
                             ? QLatin1Char('[') + this->host + QLatin1Char(']')
                             : this->host;
    return (protocol == Protocol::Raw ? RawScheme : Rfc2217Scheme) + host + QLatin1Char(':') +
           QString::number(port);
}

bool isNetworkName(const QString& name) {
    const qsizetype colon = name.indexOf(QLatin1String("://"));
    if (colon <= 0)
        return false;
    const QStringView scheme = QStringView(name).left(colon);
    return std::all_of(scheme.begin(), scheme.end(), [](QChar c) {
        return c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
               c == QLatin1Char('.');
    });
}

std::optional<NetworkAddress> parseNetworkAddress(const QString& name, QString* error) {
    Refusal refusal;
    const auto address = parseNetworkAddress(name, &refusal);
    if (!address)
        *error = refusal.message();
    return address;
}

std::optional<NetworkAddress> parseNetworkAddress(const QString& name, Refusal* refusal) {
    const auto refuse = [&](const QString& reason) {
        *refusal = {name, reason};
        return std::nullopt;
    };
    NetworkAddress address;
    QStringView rest;
    if (name.startsWith(RawScheme, Qt::CaseInsensitive)) {
        address.protocol = NetworkAddress::Protocol::Raw;
        rest = QStringView(name).mid(RawScheme.size());
    } else if (name.startsWith(Rfc2217Scheme, Qt::CaseInsensitive)) {
        address.protocol = NetworkAddress::Protocol::Rfc2217;
        rest = QStringView(name).mid(Rfc2217Scheme.size());
    } else {
        return refuse(Text::tr("not a kind of link this program knows; use socket://HOST:PORT "
                               "(a raw TCP port) or rfc2217://HOST:PORT (an RFC 2217 server)"));
    }
    const QString scheme = address.protocol == NetworkAddress::Protocol::Raw
                               ? QString(RawScheme)
                               : QString(Rfc2217Scheme);
    const QString form = scheme + QStringLiteral("HOST:PORT");
    if (rest.contains(QLatin1Char('@')))
        return refuse(Text::tr("a link takes no user name or password; write %1").arg(form));
    QStringView host, port;
    if (rest.startsWith(QLatin1Char('['))) { // an IPv6 address
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close >= 0 && close + 1 == rest.size())
            return refuse(Text::tr("the port is missing; write %1").arg(form));
        if (close < 0 || !rest.mid(close + 1).startsWith(QLatin1Char(':'))) {
            return refuse(Text::tr("not of the form %1").arg(form));
        }
        host = rest.mid(1, close - 1);
        port = rest.mid(close + 2);
    } else {
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon < 0) {
            return refuse(Text::tr("the port is missing; write %1").arg(form));
        }
        host = rest.left(colon);
        port = rest.mid(colon + 1);
        if (host.contains(QLatin1Char(':'))) {
            return refuse(Text::tr("an IPv6 address goes in brackets, as in %1")
                              .arg(scheme + QStringLiteral("[::1]:PORT")));
        }
    }
    const auto badCharacter = [](QChar c) {
        return c.isSpace() || c == QLatin1Char('/') || c == QLatin1Char('?') ||
               c == QLatin1Char('#') || c == QLatin1Char('@') || c == QLatin1Char('[') ||
               c == QLatin1Char(']');
    };
    if (host.isEmpty() || std::any_of(host.begin(), host.end(), badCharacter)) {
        return refuse(Text::tr("not of the form %1").arg(form));
    }
    bool ok = false;
    const uint number = port.toUInt(&ok);
    const bool digits = std::all_of(port.begin(), port.end(), [](QChar c) { return c.isDigit(); });
    if (!ok || !digits || number < 1 || number > 65535) {
        return refuse(
            Text::tr("the port must be a number from 1 to 65535, not \"%1\"").arg(port.toString()));
    }
    address.host = host.toString();
    address.port = quint16(number);
    return address;
}

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

bool NetworkLine::open() {
    abort();
    error_.clear();
    codec_ = TelnetCodec();
    wireHanded_ = wireGone_ = 0;
    characterEnds_.clear();
    handed_ = sent_ = 0;
    sinceFirst_.invalidate();
    phase_ = Phase::Resolving;
    startDeadline(); // for the lookup and the connection together
    lookup_.start(address_.host);
    return true;
}

void NetworkLine::resolved(const QList<QHostAddress>& addresses, const QString& error) {
    if (phase_ != Phase::Resolving)
        return;
    if (addresses.isEmpty()) {
        fail(Text::tr("the name %1 could not be resolved (%2)").arg(address_.host, error));
        return;
    }
    addresses_ = addresses;
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
    const QString busy = lock_.lockServer(socket_.peerAddress(), socket_.peerPort());
    if (!busy.isEmpty()) {
        fail(busy);
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

bool NetworkLine::write(QByteArrayView text) {
    if (phase_ != Phase::Open) {
        error_ = Text::tr("the connection is not open");
        return false;
    }
    for (const char c : text) {
        const QByteArray wire = address_.protocol == NetworkAddress::Protocol::Rfc2217
                                    ? TelnetCodec::encode(QByteArrayView(&c, 1))
                                    : QByteArray(1, c);
        if (socket_.write(wire) != wire.size()) {
            error_ = socket_.errorString();
            return false;
        }
        if (!sinceFirst_.isValid())
            sinceFirst_.start();
        wireHanded_ += wire.size();
        characterEnds_ << wireHanded_;
        ++handed_;
    }
    return true;
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

qint64 NetworkLine::queued() {
    if (!sinceFirst_.isValid())
        return 0;
    const qint64 gone = sinceFirst_.elapsed() * LineSettings::BaudRate / (BitsPerCharacter * 1000);
    return sent_ - std::min<qint64>(sent_, gone);
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
    error_ = reason;
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
