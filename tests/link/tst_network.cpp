// The sign's line behind a network serial server: the RFC 2217 client against crafted server
// replies, the link names, and the line against servers in this process and against Debian's
// ser2net serving pseudo-terminals.

#include "downloadframe.h"
#include "downloadsession.h"
#include "networkline.h"
#include "pty.h"
#include "ser2net.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <functional>
#include <memory>

using namespace orvane;
using namespace orvane::testing;

namespace {

constexpr quint8 Iac = 255, Dont = 254, Do = 253, Wont = 252, Will = 251, Sb = 250, Se = 240;
constexpr quint8 Binary = 0, Echo = 1, Sga = 3, ComPort = 44;

QByteArray bytes(std::initializer_list<int> list) {
    QByteArray out;
    for (const int b : list)
        out += char(b);
    return out;
}
QByteArray command(quint8 verb, quint8 option) {
    return bytes({Iac, verb, option});
}
// IAC SB COM-PORT-OPTION `body` IAC SE, with 0xFF doubled.
QByteArray comPort(std::initializer_list<int> body) {
    return bytes({Iac, Sb, ComPort}) + TelnetCodec::encode(bytes(body)) + bytes({Iac, Se});
}
// What ser2net 4.3 sends as soon as a client connects.
const QByteArray ser2netHello = command(Will, Sga) + command(Do, Sga) + command(Will, Echo) +
                                command(Dont, Echo) + command(Do, Binary) + command(Will, Binary) +
                                command(Do, ComPort);
// The server's acknowledgements of 300 baud, 8 data bits, no parity, 2 stop bits, no flow
// control: the client's commands + 100, with the value now in force.
const QByteArray acks[] = {comPort({101, 0, 0, 1, 44}), comPort({102, 8}), comPort({103, 1}),
                           comPort({104, 2}), comPort({105, 1})};
const QByteArray allAcks = acks[0] + acks[1] + acks[2] + acks[3] + acks[4];

QByteArray aFrame() {
    return DownloadFrame::encode([](int row, int col) { return (row + col) % 3 ? "B" : "R"; },
                                 *Speed::of(7));
}

// How a line ended when driven as a download drives it: each character written once the one
// before was taken, then finish().
struct Outcome {
    bool opened = false;
    bool closed = false;
    QString failure;
    int sent = 0;
    qint64 queuedAtClose = -1;
};

Outcome drive(NetworkLine& line, const QByteArray& frame,
              const std::function<void()>& whenOpened = {}) {
    Outcome outcome;
    QEventLoop loop;
    int handed = 0;
    const auto writeNext = [&] {
        if (handed == frame.size()) {
            line.finish();
        } else if (!line.write(QByteArrayView(frame).sliced(handed++, 1))) {
            outcome.failure = line.errorString();
            loop.quit();
        }
    };
    QObject::connect(&line, &SignLine::opened, &loop, [&] {
        outcome.opened = true;
        if (whenOpened)
            whenOpened();
        writeNext();
    });
    QObject::connect(&line, &SignLine::written, &loop, [&] {
        if (line.sent() == handed)
            writeNext();
    });
    QObject::connect(&line, &SignLine::closed, &loop, [&] {
        outcome.closed = true;
        outcome.queuedAtClose = line.queued();
        loop.quit();
    });
    QObject::connect(&line, &SignLine::failed, &loop, [&](const QString& reason) {
        outcome.failure = reason;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, [&] {
        outcome.failure = QStringLiteral("(the test gave up waiting)");
        loop.quit();
    });
    line.open();
    loop.exec();
    outcome.sent = line.sent();
    return outcome;
}

std::unique_ptr<NetworkLine> lineTo(const QString& name) {
    QString error;
    const auto address = parseNetworkAddress(name, &error);
    if (!address)
        qFatal("%s", qPrintable(error));
    return std::make_unique<NetworkLine>(*address);
}

// A server in this process: `accepted` sees each connection, `received` what it sends.
class Server : public QTcpServer {
public:
    std::function<void(QTcpSocket*)> accepted;
    std::function<void(QTcpSocket*, const QByteArray&)> received;
    QByteArray all;

    Server() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                const QByteArray data = socket->readAll();
                all += data;
                if (received)
                    received(socket, data);
            });
            if (accepted)
                accepted(socket);
        });
    }
    QString url(const char* scheme) const {
        return QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme)).arg(serverPort());
    }
};

} // namespace

class TestNetwork : public QObject {
    Q_OBJECT

private slots:
    // The whole conversation with ser2net, byte by byte: each setting goes out only once the one
    // before is acknowledged, and every other option is refused.
    void negotiatesInOrder() {
        TelnetCodec codec;
        QCOMPARE(codec.start(),
                 command(Will, Binary) + command(Do, Binary) + command(Will, ComPort));
        TelnetCodec::Output out = codec.feed(ser2netHello);
        QCOMPARE(out.reply, command(Dont, Sga) + command(Wont, Sga) + command(Dont, Echo) +
                                comPort({1, 0, 0, 1, 44}));
        const QByteArray next[] = {
            comPort({2, 8}), comPort({3, 1}), comPort({4, 2}), comPort({5, 1}), {}};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(codec.state(), TelnetCodec::State::Negotiating);
            out = codec.feed(acks[i]);
            QCOMPARE(out.reply, next[i]);
        }
        QCOMPARE(out.events.last().kind, TelnetCodec::Event::Kind::Ready);
        QCOMPARE(codec.state(), TelnetCodec::State::Ready);
        // Data from the line is dropped; the line's notifications change nothing.
        out = codec.feed("from the sign" + comPort({106, 0x60}) + comPort({107, 0x30}));
        QVERIFY(out.reply.isEmpty() && out.events.isEmpty());
        QCOMPARE(TelnetCodec::encode(bytes({Iac, 'a', Iac})), bytes({Iac, Iac, 'a', Iac, Iac}));
    }

    // What a server says, and where the negotiation stands after it: ready, still waiting
    // (and for what), or failed (and why).
    void serverReplies_data() {
        QTest::addColumn<QByteArray>("server");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("says"); // the failure, or what it waits for
        const int ready = int(TelnetCodec::State::Ready);
        const int waiting = int(TelnetCodec::State::Negotiating);
        const int failed = int(TelnetCodec::State::Failed);
        const QByteArray agreed =
            command(Do, Binary) + command(Will, Binary) + command(Do, ComPort);
        QTest::newRow("ser2net") << ser2netHello + allAcks << ready << "";
        QTest::newRow("notifications between")
            << agreed + comPort({107, 0x30}) + acks[0] + acks[1] + comPort({106, 0x60}) + acks[2] +
                   acks[3] + acks[4]
            << ready << "";
        QTest::newRow("binary refused")
            << command(Do, ComPort) + command(Dont, Binary) + command(Wont, Binary) + allAcks
            << ready << "";
        QTest::newRow("binary unanswered")
            << command(Do, ComPort) + allAcks << waiting << "the server's answer to BINARY";
        QTest::newRow("answers out of order") << agreed + acks[1] + acks[0] + acks[3] << waiting
                                              << "the server's acknowledgement of data size 8";
        QTest::newRow("other baud rate")
            << agreed + comPort({101, 0, 0, 0x25, 0x80}) << failed
            << "the server refused baud rate 300: it answered with baud rate 9600";
        QTest::newRow("baud rate with 0xFF")
            << agreed + comPort({101, 0, 0, 0xFF, 0x2C}) << failed
            << "the server refused baud rate 300: it answered with baud rate 65324";
        QTest::newRow("other parity")
            << agreed + acks[0] + acks[1] + comPort({103, 3}) << failed
            << "the server refused parity none: it answered with parity even";
        QTest::newRow("no COM-PORT-OPTION")
            << command(Will, Binary) + command(Dont, ComPort) << failed
            << "the server refused the COM-PORT-OPTION, so it cannot take the line settings "
               "(for a raw TCP port use socket://)";
        QTest::newRow("short answer")
            << agreed + comPort({101, 1, 44}) << failed
            << "the server's answer to baud rate 300 is malformed (2 bytes instead of 4)";
        QTest::newRow("endless subnegotiation")
            << agreed + bytes({Iac, Sb, ComPort}) + QByteArray(100000, 'x') << failed
            << "the server sent a subnegotiation longer than 256 bytes";
        QTest::newRow("broken subnegotiation")
            << agreed + bytes({Iac, Sb, ComPort, 101, 0, Iac, Will, 0}) << failed
            << "the server sent a malformed subnegotiation (IAC 251 inside it)";
        QTest::newRow("option flood") << agreed + (command(Will, 5) + command(Do, 24)).repeated(200)
                                      << failed << "the server sent more than 256 option requests";
    }
    void serverReplies() {
        QFETCH(QByteArray, server);
        QFETCH(int, state);
        QFETCH(QString, says);
        TelnetCodec codec;
        codec.start();
        codec.feed(server);
        QCOMPARE(int(codec.state()), state);
        QCOMPARE(state == int(TelnetCodec::State::Failed) ? codec.failure() : codec.waitingFor(),
                 says);
    }

    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address"); // or the error
        QTest::newRow("socket") << "socket://sign.local:2001"
                                << "socket://sign.local:2001";
        QTest::newRow("rfc2217") << "RFC2217://10.0.0.5:4001"
                                 << "rfc2217://10.0.0.5:4001";
        QTest::newRow("no port") << "socket://sign"
                                 << "socket://sign: the port is missing; write socket://HOST:PORT";
        QTest::newRow("port too big") << "socket://sign:65536"
                                      << "socket://sign:65536: the port must be a number from 1 "
                                         "to 65535, not \"65536\"";
        QTest::newRow("no host") << "socket://:2001"
                                 << "socket://:2001: not of the form socket://HOST:PORT";
        QTest::newRow("bare IPv6") << "socket://::1:2001"
                                   << "socket://::1:2001: an IPv6 address goes in brackets, as in "
                                      "socket://[::1]:PORT";
        QTest::newRow("other kind") << "telnet://sign:23"
                                    << "telnet://sign:23: not a kind of link this program knows; "
                                       "use socket://HOST:PORT (a raw TCP port) or "
                                       "rfc2217://HOST:PORT (an RFC 2217 server)";
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QVERIFY(isNetworkName(name));
        QString error;
        const auto parsed = parseNetworkAddress(name, &error);
        QCOMPARE(parsed ? parsed->text() : error, address);
        for (const char* path : {"/dev/ttyUSB0", "COM3", "ttyS0", "./a://b", "C:\\x"})
            QVERIFY2(!isNetworkName(QLatin1String(path)), path);
    }

    // Each failure in its own words; none claims a character that the network did not take.
    void failures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("refused") << "refused"
                                 << "the connection was refused: nothing takes "
                                    "connections on port %1 of 127.0.0.1";
        QTest::newRow("unknown name") << "unknown"
                                      << "the name no-such-sign.invalid could not "
                                         "be resolved (";
        QTest::newRow("silent server") << "silent"
                                       << "no answer within 5 s while waiting for "
                                          "the server's agreement to the "
                                          "COM-PORT-OPTION";
        QTest::newRow("other baud rate") << "9600"
                                         << "the server refused baud rate 300: it "
                                            "answered with baud rate 9600";
        QTest::newRow("closed during negotiation")
            << "hang up"
            << "the server closed the connection while this program was waiting "
               "for the server's acknowledgement of baud rate 300";
        QTest::newRow("closed mid-frame") << "close"
                                          << "the server closed the connection";
    }
    void failures() {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        Server server;
        QString name = server.url(kind == "close" ? "socket" : "rfc2217");
        if (kind == "refused") {
            says = says.arg(server.serverPort());
            server.close(); // nothing listens there any more
        } else if (kind == "unknown") {
            name = "socket://no-such-sign.invalid:2001";
        } else if (kind == "9600" || kind == "hang up") {
            server.accepted = [](QTcpSocket* s) { s->write(command(Do, ComPort)); };
            server.received = [&](QTcpSocket* s, const QByteArray& data) {
                if (!data.contains(comPort({1, 0, 0, 1, 44})))
                    return;
                if (kind == "9600")
                    s->write(comPort({101, 0, 0, 0x25, 0x80}));
                else
                    s->close();
            };
        } else if (kind == "close") {
            server.received = [&](QTcpSocket* s, const QByteArray&) {
                if (server.all.size() >= 10)
                    s->close();
            };
        }
        const auto line = lineTo(name);
        const Outcome outcome = drive(*line, aFrame());
        QVERIFY2(outcome.failure.startsWith(says), qPrintable(outcome.failure));
        QVERIFY(!outcome.closed);
        QCOMPARE(line->errorString(), outcome.failure);
        QVERIFY(outcome.sent >= (kind == "close" ? 10 : 0));
        QCOMPARE(outcome.opened, kind == "close");
        if (kind != "close")
            QCOMPARE(outcome.sent, 0);
        QVERIFY(server.all.size() <= 200);
    }

    // Through ser2net to pseudo-terminals: exactly the frame arrives, and over rfc2217:// the
    // line is at 300 baud, 8 data bits, no parity and 2 stop bits while the link is open (ser2net
    // opens it at 9600n81).
    void throughSer2net_data() {
        QTest::addColumn<bool>("rfc2217");
        QTest::newRow("socket://") << false;
        QTest::newRow("rfc2217://") << true;
    }
    void throughSer2net() {
        QFETCH(bool, rfc2217);
        PseudoTerminal raw, telnet;
        QVERIFY(raw.isOpen() && telnet.isOpen());
        Ser2Net server(raw.slavePath(), telnet.slavePath());
        QVERIFY2(server.isRunning(), qPrintable(server.error()));
        PseudoTerminal& far = rfc2217 ? telnet : raw;
        const auto line = lineTo(rfc2217 ? server.rfc2217Url() : server.rawUrl());
        const QByteArray frame = aFrame();
        termios whileOpen{};
        const Outcome outcome = drive(*line, frame, [&] { whileOpen = far.slaveSettings(); });
        QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
        QVERIFY(outcome.closed);
        QCOMPARE(outcome.sent, DownloadFrame::Length);
        QCOMPARE(outcome.queuedAtClose, 0);
        QCOMPARE(far.read(DownloadFrame::Length + 1, 500), frame);
        if (rfc2217) { // ser2net sets a raw port's line when it opens it, a moment later
            QCOMPARE(cfgetospeed(&whileOpen), speed_t(B300));
            QCOMPARE(whileOpen.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8 | CSTOPB));
        }
        QCOMPARE(NetworkLine::lineTimeMs(DownloadFrame::Length), 3740);
    }

    // The stall deadline counts from the last character to leave the far end's line, not from
    // the start: a frame that takes 3.7 s there goes through with a deadline of 1 s.
    void aDownloadOutlastsItsStallDeadline() {
        Server server;
        SerialPort port;
        port.setDevice(server.url("socket"));
        DownloadSession session(DownloadDeadlines{std::chrono::seconds(1)});
        QSignalSpy finished(&session, &DownloadSession::finished);
        QVERIFY(session.start(port, DotPattern(), *Speed::of(5)));
        QVERIFY(finished.wait(30000));
        QVERIFY2(session.result().ok, qPrintable(session.result().error()));
        QCOMPARE(server.all.size(), DownloadFrame::Length);
    }
};

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_network.moc"
