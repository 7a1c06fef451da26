// The sign link without a window: ports of the port table on pseudo-terminals, downloads whose
// progress follows the line, one sender per device under any name; the RFC 2217 client against
// crafted replies, network names, and downloads to servers in this process and to ser2net.

#include "downloadframe.h"
#include "downloadsession.h"
#include "eventloop.h"
#include "networkline.h"
#include "porttable.h"
#include "pty.h"
#include "ser2net.h"
#include "serialport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::testing;
using State = TelnetCodec::State;

namespace {

const QByteArray Frame = "SA1" + QByteArray(96, '0') + "407"; // (1, 0), (3, 0), (8, 0), (2, 49)

// One download of Frame's picture and what it said; `onStatus` sees each text first.
struct Download {
    explicit Download(DownloadDeadlines deadlines = {}) : session(deadlines) {
        QObject::connect(&session, &DownloadSession::status, [this](const QString& text) {
            captions << text;
            onStatus(text);
        });
        QObject::connect(&session, &DownloadSession::finished,
                         [this](const auto& r) { result = r; });
    }
    // To the device, or with none to the numbered port.
    bool start(const QString& device, int number = 0) {
        DotPattern picture;
        for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
            picture.setText(row, col, LitText);
        SerialPort port;
        device.isEmpty() ? port.setCommPort(number) : port.setDevice(device);
        return session.start(port, picture, *Speed::of(7));
    }
    bool finishedOk() {
        return runUntil([this] { return !!result; }) && result->ok;
    }
    QString error() const { return result ? result->error() : session.result().error(); }

    DownloadSession session;
    QStringList captions;
    std::optional<Result<Delivery>> result;
    std::function<void(const QString&)> onStatus = [](const QString&) {};
};

// A made-up device folder and sysfs folder, in force for the port table while the object lives.
struct PortFolders {
    QTemporaryDir dir;
    PortTable::ScopedFolders folders{{dir.filePath("dev"), dir.filePath("sys")}};

    QString device(const QString& name) const { return dir.filePath("dev/" + name); }
    // Makes device(name) a link to target; `name` may be in a subfolder ("serial/by-id/...").
    bool link(const QString& name, const QString& target) {
        return QDir().mkpath(QFileInfo(device(name)).path()) && QFile::link(target, device(name));
    }
    // Writes `path` under the sysfs folder ("console/active", "ttyS0/type").
    bool writeSysfs(const QString& path, const QByteArray& text) {
        QFile file(dir.filePath("sys/" + path));
        return QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly) &&
               file.write(text) == text.size();
    }
};

// Whether a download through the device or numbered port brings Frame to pty.
bool sendsThrough(PseudoTerminal& pty, const QString& device, int number = 0) {
    Download download;
    return download.start(device, number) && download.finishedOk() &&
           pty.read(DownloadFrame::Length) == Frame;
}

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
// A server in this process: it greets each client, and hangs up once what it received contains
// `trigger`, at once when that is empty.
struct Server : QTcpServer {
    QByteArray greeting, trigger = "never", all;
    Server() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            socket->write(greeting);
            if (trigger.isEmpty())
                socket->disconnectFromHost();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                all += socket->readAll();
                if (all.contains(trigger))
                    socket->disconnectFromHost();
            });
        });
    }
    QString url(const QString& scheme) const {
        return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(serverPort());
    }
};

// "major:minor" of a device.
QByteArray deviceNumber(const QString& device) {
    struct stat st {};
    ::stat(QFile::encodeName(device).constData(), &st);
    return QByteArray::number(major(st.st_rdev)) + ':' + QByteArray::number(minor(st.st_rdev));
}

} // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    // A port opens at 300 baud, 8 data bits, no parity, 2 stop bits, no flow control; a second
    // user, or a port with nothing there, is told why ("@" is the device folder).
    void openingAPort_data() {
        QTest::addColumn<QString>("linked"); // device names linked to the pseudo-terminal
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("word"); // in the port listing
        QTest::addColumn<QString>("says"); // how the message begins…and ends
        const auto row = [](const char* name, const char* linked, int port, const char* word,
                            const char* says) {
            QTest::newRow(name) << QString(linked) << port << QString(word) << QString(says);
        };
        row("absent", "ttyS3 ttyUSB7 ttyACM0", 5, "absent",
            "port 5 (@/ttyUSB0): nothing is plugged in there…Present now: port 4 (@/ttyS3), port "
            "12 (@/ttyUSB7), port 13 (@/ttyACM0).");
        row("none present", "", 2, "absent",
            "port 2 (@/ttyS1): nothing is plugged…No serial device is present on any port now.");
        row("no UART", "ttyS0 ttyS1", 2, "no-uart",
            "port 2 (@/ttyS1): this built-in port has no serial hardware…Present now: port 1 "
            "(@/ttyS0).");
        row("in use", "ttyACM3", 16, "present", "port 16 (@/ttyACM3): another program is sending");
    }
    void openingAPort() {
        QFETCH(QString, linked);
        QFETCH(int, port);
        QFETCH(QString, word);
        QFETCH(QString, says);
        PseudoTerminal pty;
        PortFolders folders;
        QVERIFY(folders.writeSysfs("ttyS0/type", "4\n") && folders.writeSysfs("ttyS1/type", "0\n"));
        for (const QString& name : linked.split(' ', Qt::SkipEmptyParts))
            QVERIFY(folders.link(name, pty.slavePath()));
        SerialPort first, second;
        first.setCommPort(port);
        second.setCommPort(port);
        const QString line = PortTable::listing().value(port - 1).simplified();
        QVERIFY2(line.startsWith(QStringLiteral("%1 %2 %3 ").arg(port).arg(first.device(), word)),
                 qPrintable(line));
        if (first.setPortOpen(true)) {
            const termios t = pty.slaveSettings();
            QCOMPARE(cfgetospeed(&t), speed_t(B300));
            QCOMPARE(cfgetispeed(&t), speed_t(B300));
            QCOMPARE(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8 | CSTOPB));
            QCOMPARE((t.c_iflag & (IXON | IXOFF)) | (t.c_oflag & OPOST), tcflag_t(0));
        }
        QVERIFY(!second.setPortOpen(true) && !second.PortOpen());
        const QString error = second.description() + ": " + second.errorString();
        const QStringList ends = says.replace('@', folders.device({}).chopped(1)).split(u'…');
        QVERIFY2(error.startsWith(ends[0]) && error.endsWith(ends.value(1)), qPrintable(error));
    }

    // A numbered port whose device is the kernel's console (by device number, not name) is not
    // opened, but the device named itself is; a /dev/serial/by-id name is listed under its port.
    void theConsoleAndStableNames() {
        PseudoTerminal console, other;
        PortFolders folders;
        // The kernel's ttyS1 is a console too, but not the device port 2 opens.
        QVERIFY(folders.link("ttyS0", console.slavePath()) &&
                folders.link("ttyS1", other.slavePath()) &&
                folders.writeSysfs("console/active", "tty0 ttyS0 ttyS1\n") &&
                folders.writeSysfs("ttyS0/dev", deviceNumber(console.slavePath())) &&
                folders.writeSysfs("ttyS1/dev", "4:65\n"));
        const QString device = folders.device("ttyS0");
        Download first;
        QVERIFY(!first.start({}, 1));
        QVERIFY2(first.error().contains(device + "): it is the kernel's console") &&
                     first.error().contains("serial-getty@ttyS0.service") &&
                     first.error().endsWith("--device " + device + "."),
                 qPrintable(first.error()));
        QVERIFY(PortTable::listing().value(0).simplified().startsWith("1 " + device + " console "));
        QVERIFY(!PortTable::presentNow().join(' ').contains(device));
        QVERIFY(sendsThrough(other, {}, 2) && sendsThrough(console, device));
        const QString byId = "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        QVERIFY(folders.link(byId, folders.device("ttyS1")));
        QCOMPARE(PortTable::listing().value(2), "    " + folders.device(byId));
        QVERIFY(sendsThrough(other, folders.device(byId)));
    }

    // The columns' texts follow what has gone out: a line held (XOFF) or full holds them back and
    // is waited on; past the stall deadline the download fails, saying how long the line took no
    // data and how many characters went out. The line is filled at the start, held or hung up at
    // column 10; after `releaseMs` it is let go.
    void progressFollowsTheLine_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("releaseMs"); // -1: never
        QTest::addColumn<int>("stallMs");
        QTest::addColumn<int>("sent"); // -1: all, and complete
        const auto row = [](const char* name, const char* what, int releaseMs, int stallMs,
                            int sent) {
            QTest::newRow(name) << QString(what) << releaseMs << stallMs << sent;
        };
        const int standard = int(DownloadDeadlines().stall.count());
        row("held 2 s", "hold", 2000, standard, -1);
        row("full a moment", "fill", 300, standard, -1);
        row("held too long", "hold", -1, 400, 23);
        row("full too long", "fill", -1, 300, 0);
        row("hung up", "hang up", -1, standard, 23);
    }
    void progressFollowsTheLine() {
        QFETCH(QString, what);
        QFETCH(int, releaseMs);
        QFETCH(int, stallMs);
        QFETCH(int, sent);
        PseudoTerminal pty;
        Download download(DownloadDeadlines{std::chrono::milliseconds(stallMs)});
        int filled = 0;
        QStringList shownWhenHeld, shownAtRelease;
        QElapsedTimer held;
        download.onStatus = [&](const QString& text) {
            if (text != (what == "fill" ? DownloadStartText : "10"))
                return;
            held.start();
            if (what == "hold")
                QVERIFY(pty.hold());
            else if (what == "fill")
                filled = pty.fill();
            else
                pty.closeMaster();
            shownWhenHeld = shownAtRelease = download.captions;
            if (releaseMs >= 0)
                QTimer::singleShot(releaseMs, [&] {
                    shownAtRelease = download.captions;
                    QVERIFY(what == "hold" ? pty.release() : pty.read(filled).size() == filled);
                    filled = 0;
                });
        };
        QVERIFY(download.start(pty.slavePath()));
        const bool ok = download.finishedOk();
        const qint64 waited = held.isValid() ? held.elapsed() : 0;
        QCOMPARE(shownAtRelease, shownWhenHeld); // nothing shown while the line took nothing
        if (sent < 0) {
            QVERIFY2(ok, qPrintable(download.error()));
            QStringList all{DownloadStartText};
            for (int col = 0; col < PatternCols; ++col)
                all << QString::number(col);
            QCOMPARE(download.captions, all << DownloadCompleteText);
            QCOMPARE(pty.read(filled + DownloadFrame::Length).mid(filled), Frame);
            return;
        }
        QVERIFY(!ok);
        QCOMPARE(download.result->sent, sent);
        QCOMPARE(download.captions, shownWhenHeld);
        const QString failed = QStringLiteral("Sending to %1 failed after %2 of 102 characters: ")
                                   .arg(pty.slavePath())
                                   .arg(sent);
        const QString error = download.error(), reason = error.mid(failed.size());
        QVERIFY2(error.startsWith(failed), qPrintable(error));
        const double seconds = reason.section(' ', 6, 6).toDouble(); // as long as it was
        QVERIFY2(what == "hang up"
                     ? reason == "Input/output error"
                     : reason.startsWith("the line took no data for ") &&
                           seconds >= stallMs / 1000.0 - 0.05 && seconds <= waited / 1000.0 + 0.05,
                 qPrintable(QStringLiteral("%1 after %2 ms").arg(error).arg(waited)));
        if (what != "hang up")
            QCOMPARE(pty.read(filled + 200, 100), QByteArray(filled, '#') + Frame.left(sent));
    }

    // While a download runs, another through the same device is refused under any name, also as
    // root; the first goes out whole, and then the device is free again.
    void oneSenderPerDevice_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"", "link", "./link", "node"})
            QTest::newRow(*name ? name : "same path") << QString(name);
    }
    void oneSenderPerDevice() {
        QFETCH(QString, name);
        PseudoTerminal pty;
        QTemporaryDir dir;
        const QString path =
            name.isEmpty() ? pty.slavePath() : dir.filePath(QFileInfo(name).fileName());
        struct stat st {};
        if (name.endsWith("link"))
            QVERIFY(QFile::link(pty.slavePath(), path));
        else if (name == "node" && geteuid() != 0)
            QSKIP("making a device node needs root");
        else if (name == "node")
            QVERIFY(::stat(QFile::encodeName(pty.slavePath()).constData(), &st) == 0 &&
                    ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, st.st_rdev) == 0);
        const QString folder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(folder); });
        Download first, other;
        QVERIFY(pty.hold() && first.start(pty.slavePath()));
        QVERIFY(!other.start(name.startsWith("./") ? name : path));
        QVERIFY2(other.error().startsWith("Cannot open " + path + ": another program is sending"),
                 qPrintable(other.error()));
        QVERIFY(other.captions.isEmpty() && !other.result);
        QVERIFY(pty.release() && first.finishedOk());
        QCOMPARE(pty.read(DownloadFrame::Length), Frame);
        // A pseudo-terminal opens only through its own node in /dev/pts.
        QVERIFY(name == "node" || sendsThrough(pty, name.startsWith("./") ? name : path));
    }

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

    // How a download ends for a link name and what the server there says ("%1" the link as named,
    // "…" what comes between). The server sends `script` at once, hangs up when the row says it
    // closed, and else once "SA1" of the frame came, to show that the line was ready; none claims
    // a character the network did not take.
    void servers_data() {
        QTest::addColumn<QString>("url"); // a scheme for the server in this process
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("says");
        const auto row = [](const char* name, const QString& url, const QString& says,
                            const QByteArray& script = {}) {
            QTest::newRow(name) << url << script << says;
        };
        const auto rfc = [&](const char* name, const QByteArray& script, const QString& says) {
            row(name, "rfc2217",
                (says.startsWith("Sending") ? "" : "Cannot connect to %1: ") + says, script);
        };
        const QString
            sent = "Sending to %1 failed after…",
            closed =
                "the server closed the connection while this program was waiting for the server's ";
        const QByteArray all = acks[0] + acks[1] + acks[2] + acks[3] + acks[4];
        const QString free = QString::number(Ser2Net::freePort());
        row("no port", "socket://sign", "%1: the port is missing");
        row("port too big", "socket://sign:65536", "%1: the port must be a number from 1 to 65535");
        row("no host", "socket://:2001", "%1: not of the form socket://HOST:PORT");
        row("bare IPv6", "socket://::1:2001", "%1: an IPv6 address goes in brackets");
        row("other kind", "telnet://sign:23", "%1: not a kind of link this program knows");
        row("refused", "RFC2217://127.0.0.1:" + free,
            "Cannot connect to rfc2217://127.0.0.1:" + free + ": the connection was refused");
        row("unknown name", "socket://no-such-sign.invalid:2001",
            "Cannot connect to %1: the name no-such-sign.invalid could not be resolved");
        row("raw", "socket", sent + ": the server closed the connection");
        rfc("silent", {},
            "no answer within 5 s while waiting for the server's agreement to the "
            "COM-PORT-OPTION");
        rfc("notifications between",
            agreed + comPort({107, 0x30}) + acks[0] + acks[1] + comPort({106, 0x60}) + acks[2] +
                acks[3] + acks[4],
            sent);
        rfc("binary refused",
            command(Do, ComPort) + command(Dont, Binary) + command(Wont, Binary) + all, sent);
        rfc("binary unanswered", command(Do, ComPort) + all, closed + "answer to BINARY");
        rfc("hang up", command(Do, ComPort), closed + "acknowledgement of baud rate 300");
        rfc("out of order", agreed + acks[1] + acks[0] + acks[3],
            closed + "acknowledgement of data size 8");
        rfc("other baud rate", agreed + comPort({101, 0, 0, 0x25, 0x80}),
            "the server refused baud rate 300: it answered with baud rate 9600");
        rfc("baud rate with 0xFF", agreed + comPort({101, 0, 0, 0xFF, 0x2C}),
            "the server refused baud rate 300: it answered with baud rate 65324");
        rfc("other parity", agreed + acks[0] + acks[1] + comPort({103, 3}),
            "the server refused parity none: it answered with parity even");
        rfc("no COM-PORT-OPTION", command(Will, Binary) + command(Dont, ComPort),
            "the server refused the COM-PORT-OPTION");
        rfc("short answer", agreed + comPort({101, 1, 44}),
            "the server's answer to baud rate 300 is malformed (2 bytes instead of 4)");
        rfc("endless subnegotiation", agreed + bytes({Iac, Sb, ComPort}) + QByteArray(100000, 'x'),
            "the server sent a subnegotiation longer than 256 bytes");
        rfc("broken subnegotiation", agreed + bytes({Iac, Sb, ComPort, 101, 0, Iac, Will, 0}),
            "the server sent a malformed subnegotiation (IAC 251 inside it)");
        rfc("option flood", agreed + (command(Will, 5) + command(Do, 24)).repeated(200),
            "the server sent more than 256 option requests");
    }
    void servers() {
        QFETCH(QString, url);
        QFETCH(QByteArray, script);
        QFETCH(QString, says);
        Server server;
        server.greeting = script;
        server.trigger = says.contains("closed the connection while") ? QByteArray() : "SA1";
        if (!url.contains(':'))
            url = server.url(url);
        QVERIFY(isNetworkName(url));
        Download download;
        QVERIFY(!(download.start(url) && download.finishedOk()));
        const QStringList ends = says.replace("%1", url).split(u'…');
        QVERIFY2(download.error().startsWith(ends[0]) && download.error().endsWith(ends.value(1)),
                 qPrintable(download.error()));
        QVERIFY(ends.size() == 1 ? !download.result || download.result->sent == 0
                                 : download.result->sent >= 3);
        for (const char* path : {"/dev/ttyUSB0", "COM3", "ttyS0", "./a://b", "C:\\x"})
            QVERIFY2(!isNetworkName(QLatin1String(path)), path);
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
        Download download;
        download.onStatus = [&](const QString& text) {
            if (text == "10")
                t = far.slaveSettings();
        };
        const bool ok = download.start(server.url()) && download.finishedOk();
        QVERIFY2(ok, qPrintable(download.error()));
        QCOMPARE(far.read(DownloadFrame::Length + 1, 500), Frame);
        QCOMPARE(cfgetospeed(&t), speed_t(B300));
        QCOMPARE(t.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8 | CSTOPB));
    }

    // The stall deadline counts from the last character to leave the far end's line, not from
    // the start: a frame that takes 3.7 s there goes through with a deadline of 1 s.
    void aDownloadOutlastsItsStallDeadline() {
        Server server;
        Download download(DownloadDeadlines{std::chrono::seconds(1)});
        const bool ok = download.start(server.url("socket")) && download.finishedOk();
        QVERIFY2(ok, qPrintable(download.error()));
        QCOMPARE(server.all, Frame);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
