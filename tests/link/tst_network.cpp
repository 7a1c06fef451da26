// The sign's line behind a network serial server: the RFC 2217 client against crafted replies,
// link names, and downloads to servers in this process and to Debian's ser2net.

#include "downloadsession.h"
#include "eventloop.h"
#include "networkline.h"
#include "pty.h"
#include "ser2net.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace orvane;
using namespace orvane::testing;
using State = TelnetCodec::State;

namespace {

constexpr quint8 Iac = 255, Dont = 254, Do = 253, Wont = 252, Will = 251, Sb = 250, Se = 240;
constexpr quint8 Binary = 0, Echo = 1, Sga = 3, ComPort = 44;

QByteArray bytes(std::initializer_list<int> list) {
    const std::vector<char> chars(list.begin(), list.end());
    return QByteArray(chars.data(), qsizetype(chars.size()));
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
const QByteArray agreed = command(Do, Binary) + command(Will, Binary) + command(Do, ComPort);
// The acknowledgements of 300 baud, 8 data bits, no parity, 2 stop bits, no flow control.
const QByteArray acks[] = {comPort({101, 0, 0, 1, 44}), comPort({102, 8}), comPort({103, 1}),
                           comPort({104, 2}), comPort({105, 1})};
const QByteArray Frame = "S" + QByteArray(100, '0') + "5"; // a dark picture at speed 5

// A server in this process: it greets each client, and once what it received contains
// `trigger`, sends `reply`, or hangs up when that is empty.
struct Server : QTcpServer {
    QByteArray greeting, trigger, reply, all;
    Server() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            socket->write(greeting);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                all += socket->readAll();
                if (!trigger.isEmpty() && all.contains(trigger))
                    trigger.clear(), reply.isEmpty() ? socket->close() : void(socket->write(reply));
            });
        });
    }
    QString url(const QString& scheme) const {
        return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(serverPort());
    }
};

// Downloads a dark picture to `url`; `midway` runs at column 10's text.
Result<Delivery> download(
    const QString& url, DownloadDeadlines deadlines = {},
    const std::function<void()>& midway = [] {}) {
    SerialPort port;
    port.setDevice(url);
    DownloadSession session(deadlines);
    std::optional<Result<Delivery>> result;
    QObject::connect(&session, &DownloadSession::status, [&](const QString& text) {
        if (text == "10")
            midway();
    });
    QObject::connect(&session, &DownloadSession::finished, [&](const auto& r) { result = r; });
    if (session.start(port, DotPattern(), *Speed::of(5)) && !runUntil([&] { return !!result; }))
        qFatal("the download did not end");
    return result.value_or(session.result());
}

} // namespace

class TestNetwork : public QObject {
    Q_OBJECT

private slots:
    // The whole conversation with ser2net: each setting goes out once the one before is
    // acknowledged, every other option is refused, and what comes from the line is dropped.
    void negotiatesInOrder() {
        TelnetCodec codec;
        QCOMPARE(codec.start(),
                 command(Will, Binary) + command(Do, Binary) + command(Will, ComPort));
        QCOMPARE(codec.feed(ser2netHello).reply, command(Dont, Sga) + command(Wont, Sga) +
                                                     command(Dont, Echo) +
                                                     comPort({1, 0, 0, 1, 44}));
        const QByteArray next[] = {
            comPort({2, 8}), comPort({3, 1}), comPort({4, 2}), comPort({5, 1}), {}};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(codec.feed(acks[i]).reply, next[i]);
        QCOMPARE(codec.state(), State::Ready);
        const auto out = codec.feed("from the sign" + comPort({106, 0x60}) + comPort({107, 0x30}));
        QVERIFY(out.reply.isEmpty() && out.events.isEmpty());
        QCOMPARE(TelnetCodec::encode(bytes({Iac, 'a', Iac})), bytes({Iac, Iac, 'a', Iac, Iac}));
    }

    // Where the negotiation stands after what a server said: ready, still waiting (for what),
    // or failed (why).
    void serverReplies_data() {
        QTest::addColumn<QByteArray>("server");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("says"); // in the failure, or in what it waits for
        const auto row = [](const char* name, const QByteArray& server, State state,
                            const char* says = "") {
            QTest::newRow(name) << server << int(state) << QString(says);
        };
        const QByteArray all = acks[0] + acks[1] + acks[2] + acks[3] + acks[4];
        row("notifications between",
            agreed + comPort({107, 0x30}) + acks[0] + acks[1] + comPort({106, 0x60}) + acks[2] +
                acks[3] + acks[4],
            State::Ready);
        row("binary refused",
            command(Do, ComPort) + command(Dont, Binary) + command(Wont, Binary) + all,
            State::Ready);
        row("binary unanswered", command(Do, ComPort) + all, State::Negotiating, "BINARY");
        row("out of order", agreed + acks[1] + acks[0] + acks[3], State::Negotiating,
            "acknowledgement of data size 8");
        row("other baud rate", agreed + comPort({101, 0, 0, 0x25, 0x80}), State::Failed,
            "the server refused baud rate 300: it answered with baud rate 9600");
        row("baud rate with 0xFF", agreed + comPort({101, 0, 0, 0xFF, 0x2C}), State::Failed,
            "baud rate 65324");
        row("other parity", agreed + acks[0] + acks[1] + comPort({103, 3}), State::Failed,
            "refused parity none: it answered with parity even");
        row("no COM-PORT-OPTION", command(Will, Binary) + command(Dont, ComPort), State::Failed,
            "the server refused the COM-PORT-OPTION");
        row("short answer", agreed + comPort({101, 1, 44}), State::Failed,
            "answer to baud rate 300 is malformed (2 bytes instead of 4)");
        row("endless subnegotiation", agreed + bytes({Iac, Sb, ComPort}) + QByteArray(1e5, 'x'),
            State::Failed, "a subnegotiation longer than 256 bytes");
        row("broken subnegotiation", agreed + bytes({Iac, Sb, ComPort, 101, 0, Iac, Will, 0}),
            State::Failed, "malformed subnegotiation (IAC 251 inside it)");
        row("option flood", agreed + (command(Will, 5) + command(Do, 24)).repeated(200),
            State::Failed, "more than 256 option requests");
    }
    void serverReplies() {
        QFETCH(QByteArray, server);
        QFETCH(int, state);
        QFETCH(QString, says);
        TelnetCodec codec;
        codec.start();
        codec.feed(server);
        QCOMPARE(int(codec.state()), state);
        const QString got = codec.state() == State::Failed ? codec.failure() : codec.waitingFor();
        QVERIFY2(says.isEmpty() ? got.isEmpty() : got.contains(says), qPrintable(got));
    }

    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("says"); // the address, or in the message
        QTest::newRow("socket") << "socket://sign.local:2001"
                                << "socket://sign.local:2001";
        QTest::newRow("rfc2217") << "RFC2217://10.0.0.5:4001"
                                 << "rfc2217://10.0.0.5:4001";
        QTest::newRow("no port") << "socket://sign"
                                 << "the port is missing";
        QTest::newRow("port too big") << "socket://sign:65536"
                                      << "1 to 65535, not \"65536\"";
        QTest::newRow("no host") << "socket://:2001"
                                 << "not of the form socket://HOST:PORT";
        QTest::newRow("bare IPv6") << "socket://::1:2001"
                                   << "in brackets";
        QTest::newRow("other kind") << "telnet://sign:23"
                                    << "not a kind of link";
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(QString, says);
        QString error;
        const auto parsed = parseNetworkAddress(name, &error);
        QVERIFY2(isNetworkName(name) &&
                     (parsed ? parsed->text() == says
                             : error.startsWith(name + ": ") && error.contains(says)),
                 qPrintable(parsed ? parsed->text() : error));
        for (const char* path : {"/dev/ttyUSB0", "COM3", "ttyS0", "./a://b", "C:\\x"})
            QVERIFY2(!isNetworkName(QLatin1String(path)), path);
    }

    // Each failure in its own words ("%1" the link, "…" what comes between); none claims a
    // character the network did not take.
    void failures_data() {
        QTest::addColumn<QString>("url"); // a scheme for the server in this process
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("says");
        const QString refused = "rfc2217://127.0.0.1:" + QString::number(Ser2Net::freePort());
        const QString cannot = "Cannot connect to %1: ";
        QTest::newRow("refused") << refused << QByteArray()
                                 << cannot + "the connection was refused";
        QTest::newRow("unknown name") << "socket://no-such-sign.invalid:2001" << QByteArray()
                                      << cannot + "the name no-such-sign.invalid could not be";
        QTest::newRow("silent") << "rfc2217" << QByteArray()
                                << cannot + "no answer within 5 s while waiting for the server's "
                                            "agreement to the COM-PORT-OPTION";
        QTest::newRow("9600") << "rfc2217" << comPort({101, 0, 0, 0x25, 0x80})
                              << cannot + "the server refused baud rate 300";
        QTest::newRow("hang up") << "rfc2217" << QByteArray("hang up")
                                 << cannot + "the server closed the connection while this "
                                             "program was waiting for the server's acknowledgement";
        QTest::newRow("mid-frame")
            << "socket" << QByteArray("hang up")
            << "Sending to %1 failed after…: the server closed the connection";
    }
    void failures() {
        QFETCH(QString, url);
        QFETCH(QByteArray, reply);
        QFETCH(QString, says);
        Server server; // silent but for `reply` to the baud rate, or after 10 characters
        server.greeting = reply.isEmpty() ? QByteArray() : command(Do, ComPort);
        server.trigger = url == "socket" ? Frame.left(10) : comPort({1, 0, 0, 1, 44});
        server.reply = reply == "hang up" ? QByteArray() : reply;
        if (!url.contains(':'))
            url = server.url(url);
        const Result<Delivery> result = download(url);
        const QStringList ends = says.arg(url).split(u'…');
        QVERIFY2(!result.ok && result.error().startsWith(ends[0]) &&
                     result.error().endsWith(ends.value(1)),
                 qPrintable(result.error()));
        QVERIFY(ends.size() == 1 ? result.sent == 0 : result.sent >= 10);
        QVERIFY(server.all.size() <= 200);
    }

    // Through ser2net to a pseudo-terminal exactly the frame arrives; over rfc2217:// the line is
    // at 300 baud, 8 data bits, no parity, 2 stop bits while the link is open (ser2net opens it
    // at 9600n81).
    void throughSer2net_data() {
        QTest::addColumn<bool>("rfc2217");
        QTest::newRow("socket://") << false;
        QTest::newRow("rfc2217://") << true;
    }
    void throughSer2net() {
        QFETCH(bool, rfc2217);
        PseudoTerminal far;
        Ser2Net server(far.slavePath(), rfc2217);
        QVERIFY2(server.error().isEmpty(), qPrintable(server.error()));
        termios t{};
        const auto result = download(server.url(), {}, [&] { t = far.slaveSettings(); });
        QVERIFY2(result.ok, qPrintable(result.error()));
        QCOMPARE(far.read(DownloadFrame::Length + 1, 500), Frame);
        QCOMPARE(cfgetospeed(&t), speed_t(B300));
        QCOMPARE(t.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8 | CSTOPB));
    }

    // The stall deadline counts from the last character to leave the far end's line, not from
    // the start: a frame that takes 3.7 s there goes through with a deadline of 1 s.
    void aDownloadOutlastsItsStallDeadline() {
        Server server;
        const auto result = download(server.url("socket"), {std::chrono::seconds(1)});
        QVERIFY2(result.ok, qPrintable(result.error()));
        QCOMPARE(server.all, Frame);
    }
};

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_network.moc"
