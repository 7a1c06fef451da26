#pragma once

// The sign's serial line behind a network serial server (its address: linktarget.h). Over
// rfc2217:// the line settings go over the network first (telnetcodec.h).
//
// Looking the host up and connecting have 5 s; so has each answer of the RFC 2217 negotiation,
// and each deadline is at least that long. The lookup runs on a thread nothing waits for
// (hostlookup.h), and no proxy is ever used. Once connected, the line takes the server's lock
// (devicelock.h) before it sends anything: one sender per server address and port on this
// computer, also for a server that would take more connections. A character counts as
// written once the network took it. The network takes the frame far faster than the far end's
// line sends it on, so queued() counts the characters the far end cannot have sent yet at 300
// baud, 11 bits a character, from the first character on; finish() keeps the connection open
// until that is none (3.74 s for a frame of 102), so that no server drops the rest on closing.
// Uses Qt Network, and the system resolver for lookups.

#include "devicelock.h"
#include "hostlookup.h"
#include "linktarget.h"
#include "signline.h"
#include "telnetcodec.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

namespace orvane {

class NetworkLine : public SignLine {
    Q_OBJECT

public:
    static constexpr int AnswerTimeoutMs = 5000;
    static constexpr int BitsPerCharacter = 11; // start, 8 data, 2 stop

    explicit NetworkLine(NetworkAddress address, QObject* parent = nullptr);
    ~NetworkLine() override;

    // How long `characters` take on the far end's line.
    static qint64 lineTimeMs(qint64 characters);

    QString description() const override { return address_.text(); }
    Result<void> open() override;
    Result<void> write(QByteArrayView text) override;
    Result<qint64> queued() override;
    void finish() override;
    void abort() override;

    // Characters the network has taken so far.
    int sent() const { return sent_; }

private:
    enum class Phase { Closed, Resolving, Connecting, Negotiating, Open, Finishing, Disconnecting };

    void resolved(const Result<QList<QHostAddress>>& addresses);
    void connectNext();
    void connected();
    void readyRead();
    void bytesWritten(qint64 bytes);
    void socketError(QAbstractSocket::SocketError error);
    void serverClosed();
    void deadlinePassed();
    void closeWhenDone();
    void startDeadline();
    void close();
    void sendProtocol(const QByteArray& bytes);
    void fail(const QString& reason);
    // Emits from the event loop, not inside the socket's signals; dropped after abort().
    template <typename F> void post(F emitter);

    NetworkAddress address_;
    HostLookup lookup_;
    QList<QHostAddress> addresses_; // those not tried yet
    QTcpSocket socket_;
    DeviceLock lock_;
    TelnetCodec codec_;
    QTimer deadline_;
    QDeadlineTimer due_; // when deadline_ is meant to fire; a timer may come a little early
    QTimer hold_;
    QElapsedTimer sinceFirst_;
    Phase phase_ = Phase::Closed;
    quint64 generation_ = 0;
    qint64 wireHanded_ = 0;       // bytes given to the socket
    qint64 wireGone_ = 0;         // bytes the network took
    QList<qint64> characterEnds_; // where each character not yet taken ends on the wire
    int handed_ = 0;              // characters given to the socket
    int sent_ = 0;                // characters the network took
};

} // namespace orvane
