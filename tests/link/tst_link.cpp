// The sign link without a window: the port table on pseudo-terminals, progress that follows the
// line, one sender per device, the RFC 2217 client, and downloads to network servers.

#include "devicelock.h"
#include "downloadframe.h"
#include "downloadsession.h"
#include "eventloop.h"
#include "networkline.h"
#include "porttable.h"
#include "pty.h"
#include "ser2net.h"
#include "serialport.h"

#include <QDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <future>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::testing;

namespace {

const QByteArray Frame = "SA1" + QByteArray(96, '0') + "407"; // (1, 0), (3, 0), (8, 0), (2, 49)

// One download of Frame's picture and what it told: "started", each column's number, "ended".
struct Download {
    explicit Download(DownloadDeadlines deadlines = {}) : session(deadlines) {
        QObject::connect(&session, &DownloadSession::started, [this] { told << "started"; });
        QObject::connect(&session, &DownloadSession::columnSent,
                         [this](int column) { told << QString::number(column); });
        QObject::connect(&session, &DownloadSession::finished,
                         [this](const Result<Delivery>& result) {
                             told << "ended";
                             failure = result.error();
                         });
    }
    // A malformed link is refused before the session starts.
    bool start(const QString& device, int number = 0) {
        DotPattern picture;
        for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
            picture.setText(row, col, LitText);
        const Result<LinkTarget> link =
            device.isEmpty() ? LinkTarget::ofPort(number) : LinkTarget::parse(device);
        const Result<void> started =
            link ? session.start(*link, picture, *Speed::of(7)) : link.refusal();
        failure = started.error();
        return started.ok();
    }
    bool finishedOk() {
        return failure.isEmpty() && runUntil([&] { return !session.isRunning(); }) &&
               failure.isEmpty();
    }
    QString error() const { return failure; }

    DownloadSession session;
    QString failure; // why the download was refused or failed
    QStringList told;
};

// What a download that went through tells, in order.
QStringList toldOfAWholeFrame() {
    QStringList told{"started"};
    for (int column = 0; column < 50; ++column)
        told << QString::number(column);
    return told << "ended";
}

// A made-up device folder and sysfs folder, in force for the port table while the object lives.
struct PortFolders {
    QTemporaryDir dir;
    PortTable::ScopedFolders folders{{dir.filePath("dev"), dir.filePath("sys")}};

    QString device(const QString& name) const { return dir.filePath("dev/" + name); }
    bool link(const QString& name, const QString& target) {
        return QDir().mkpath(QFileInfo(device(name)).path()) && QFile::link(target, device(name));
    }
    bool writeSysfs(const QString& path, const QByteArray& text) {
        QFile file(dir.filePath("sys/" + path));
        return QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly) &&
               file.write(text) == text.size();
    }
};

bool sendsThrough(PseudoTerminal& pty, const QString& device, int number = 0) {
    Download download;
    return download.start(device, number) && download.finishedOk() &&
           download.told == toldOfAWholeFrame() && pty.read(DownloadFrame::Length) == Frame;
}

// 300 baud, 8 data bits, no parity, 2 stop bits, no flow control, no output processing.
bool at300n82(const termios& t) {
    return cfgetospeed(&t) == B300 && cfgetispeed(&t) == B300 &&
           (t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS)) == (CS8 | CSTOPB) &&
           !(t.c_iflag & (IXON | IXOFF)) && !(t.c_oflag & OPOST);
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
const QByteArray agreed = command(Do, Binary) + command(Will, Binary) + command(Do, ComPort);
// The acknowledgements of 300 baud, 8 data bits, no parity, 2 stop bits, no flow control.
const QByteArray acks[] = {comPort({101, 0, 0, 1, 44}), comPort({102, 8}), comPort({103, 1}),
                           comPort({104, 2}), comPort({105, 1})};

} // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    // A port with nothing there is listed and refused with the ports present now ("@" is the
    // device folder).
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
        SerialPort serial;
        serial.setCommPort(port);
        const QString line = PortTable::listing().value(port - 1).simplified();
        QVERIFY2(line.startsWith(QStringLiteral("%1 %2 %3 ").arg(port).arg(serial.device(), word)),
                 qPrintable(line));
        const QString error = serial.setPortOpen(true).error();
        QVERIFY(!serial.PortOpen());
        const QStringList ends = says.replace('@', folders.device({}).chopped(1)).split(u'…');
        QVERIFY2(error.startsWith(ends[0]) && error.endsWith(ends.value(1)), qPrintable(error));
    }

    // A numbered port whose device is the kernel's console (by device number, not name) is not
    // opened, but the device named itself is; a /dev/serial/by-id name is listed under its port.
    void theConsoleAndStableNames() {
        PseudoTerminal console, other;
        PortFolders folders;
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(console.slavePath()).constData(), &st) == 0);
        // The kernel's ttyS1 is a console too, but not the device port 2 opens.
        QVERIFY(folders.link("ttyS0", console.slavePath()) &&
                folders.link("ttyS1", other.slavePath()) &&
                folders.writeSysfs("console/active", "tty0 ttyS0 ttyS1\n") &&
                folders.writeSysfs("ttyS0/dev", QByteArray::number(major(st.st_rdev)) + ':' +
                                                    QByteArray::number(minor(st.st_rdev))) &&
                folders.writeSysfs("ttyS1/dev", "4:65\n"));
        const QString device = folders.device("ttyS0");
        Download first;
        QVERIFY(!first.start({}, 1));
        QVERIFY2(first.error().startsWith("Cannot open port 1 (" + device +
                                          "): it is the kernel's console") &&
                     first.error().endsWith("--device " + device + "."),
                 qPrintable(first.error()));
        QVERIFY(PortTable::listing().value(0).simplified().startsWith("1 " + device + " console "));
        QVERIFY(!PortTable::presentNow().join(' ').contains(device));
        QVERIFY(PortTable::listing().value(1).simplified().startsWith(
            "2 " + folders.device("ttyS1") + " present "));
        QVERIFY(sendsThrough(other, {}, 2) && sendsThrough(console, device));
        const QString byId = "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        QVERIFY(folders.link(byId, folders.device("ttyS1")));
        QCOMPARE(PortTable::listing().value(2), "    " + folders.device(byId));
    }

    // Straight to the line or through ser2net (over rfc2217:// ser2net opens 9600n81, then sets
    // it), exactly the frame arrives, at 300n82. A line held (XOFF) at column 10 for 2 s goes on
    // under the default 5 s deadline; behind ser2net a 1 s stall deadline counts from the last
    // character to leave the far line (3.7 s). Held past it, or hung up, the columns told stop
    // there, and the message says how many characters went out (and how long the line stalled).
    void downloads_data() {
        QTest::addColumn<QString>("via"); // ser2net's scheme, or none
        QTest::addColumn<int>("heldMs");  // -1: hung up
        QTest::newRow("held 2 s") << "" << 2000;
        QTest::newRow("held past 5 s") << "" << 7000;
        QTest::newRow("hung up") << "" << -1;
        QTest::newRow("socket://") << "socket" << 0;
        QTest::newRow("rfc2217://") << "rfc2217" << 0;
    }
    void downloads() {
        QFETCH(QString, via);
        QFETCH(int, heldMs);
        PseudoTerminal pty;
        std::optional<Ser2Net> server;
        if (!via.isEmpty()) {
            server.emplace(pty.slavePath(), via == "rfc2217");
            QVERIFY2(server->error().isEmpty(), qPrintable(server->error()));
        }
        Download download(server ? DownloadDeadlines{std::chrono::seconds(1)}
                                 : DownloadDeadlines{});
        QStringList toldWhenHeld;
        termios t{};
        QObject::connect(&download.session, &DownloadSession::columnSent, [&](int column) {
            if (column != 10)
                return;
            toldWhenHeld = download.told;
            t = pty.slaveSettings();
            if (heldMs < 0)
                return pty.closeMaster();
            if (heldMs > 0) {
                QVERIFY(pty.hold());
                QTimer::singleShot(heldMs, &download.session, [&] { pty.release(); });
            }
        });
        QVERIFY(download.start(server ? server->url() : pty.slavePath()));
        if (heldMs >= 0 && heldMs <= 2000) {
            QVERIFY2(download.finishedOk(), qPrintable(download.error()));
            QCOMPARE(download.told, toldOfAWholeFrame());
            QCOMPARE(pty.read(DownloadFrame::Length + 1, 500), Frame);
            QVERIFY(at300n82(t));
            return;
        }
        QVERIFY(!download.finishedOk());
        QVERIFY(download.told == toldWhenHeld + QStringList{"ended"} &&
                download.session.taken() == 23);
        const QString failed =
            "Sending to " + pty.slavePath() + " failed after 23 of 102 characters: ";
        const QString error = download.error();
        if (heldMs < 0) {
            QCOMPARE(error, failed + "Input/output error");
            return;
        }
        const QString stalled = failed + "the line took no data for ";
        const double seconds = error.mid(stalled.size()).section(' ', 0, 0).toDouble();
        QVERIFY2(error.startsWith(stalled) && seconds >= 5 && seconds < 7, qPrintable(error));
        QCOMPARE(pty.read(200, 100), Frame.left(23));
    }

    // A download opens the line at 300n82; while it runs, another through the same device is
    // refused under another name: a symbolic link, or a device node of its own (made as root).
    // Then the device is free again.
    void oneSenderPerDevice_data() {
        QTest::addColumn<QString>("other");
        QTest::newRow("link") << "link";
        QTest::newRow("device node") << "node";
    }
    void oneSenderPerDevice() {
        QFETCH(QString, other);
        if (other == "node" && geteuid() != 0)
            QSKIP("making a device node needs root");
        PseudoTerminal pty;
        QTemporaryDir dir;
        struct stat st {};
        QVERIFY(
            QFile::link(pty.slavePath(), dir.filePath("link")) &&
            (other != "node" || (::stat(QFile::encodeName(pty.slavePath()).constData(), &st) == 0 &&
                                 ::mknod(QFile::encodeName(dir.filePath("node")).constData(),
                                         S_IFCHR | 0600, st.st_rdev) == 0)));
        const QString folder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(folder); });
        Download first;
        QVERIFY(pty.hold() && first.start(pty.slavePath()) && at300n82(pty.slaveSettings()));
        for (const QString& name : {"./" + other, other}) {
            Download refused;
            QVERIFY(!refused.start(name));
            QVERIFY2(refused.error().startsWith("Cannot open " + dir.filePath(other) +
                                                ": another program is sending"),
                     qPrintable(refused.error()));
            QVERIFY(refused.told.isEmpty());
        }
        QVERIFY(pty.release() && first.finishedOk());
        QCOMPARE(pty.read(DownloadFrame::Length), Frame);
        QVERIFY(sendsThrough(pty, "./link")); // a node outside devpts opens its terminal with EIO
    }

    // A FIFO put at QSerialPort's lock file after it was looked at, as another user racing the
    // open would, holds its reader only for a moment while the watch lives: the reader finds it
    // empty, or, once the FIFO was taken away again, the open is interrupted.
    void aLateFifoHoldsNoReader_data() {
        QTest::addColumn<bool>("takenAway");
        QTest::newRow("left there") << false;
        QTest::newRow("taken away") << true;
    }
    void aLateFifoHoldsNoReader() {
        QFETCH(bool, takenAway);
        QTemporaryDir dir;
        const QString path = dir.filePath("LCK..ttyUSB0");
        // Taken away: the reader waits on a FIFO no longer at the path, where no writer finds it.
        const QByteArray fifo = QFile::encodeName(takenAway ? dir.filePath("away") : path);
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        auto reader = std::async(std::launch::async, [&] {
            const LockFileWatch watch(path);
            const int fd = ::open(fifo.constData(), O_RDONLY | O_CLOEXEC);
            char c;
            const auto count = fd < 0 ? -errno : ::read(fd, &c, 1);
            return fd >= 0 && ::close(fd), std::pair{count, watch.outcome().error()};
        });
        const bool freed = reader.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        if (!freed) // lets the reader end
            ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
        QVERIFY(freed);
        const auto [count, problem] = reader.get();
        QCOMPARE(count, takenAway ? -EINTR : 0);
        QVERIFY2(problem.startsWith("its lock file " + path + " is a FIFO"), qPrintable(problem));
    }

    // The whole conversation with ser2net 4.3: each setting goes out once the one before is
    // acknowledged, and every other option is refused.
    void negotiatesInOrder() {
        TelnetCodec codec;
        QCOMPARE(codec.start(),
                 command(Will, Binary) + command(Do, Binary) + command(Will, ComPort));
        const QByteArray hello =
            command(Will, Sga) + command(Do, Sga) + command(Will, Echo) + command(Dont, Echo);
        QCOMPARE(codec.feed(hello + agreed).reply, command(Dont, Sga) + command(Wont, Sga) +
                                                       command(Dont, Echo) +
                                                       comPort({1, 0, 0, 1, 44}));
        const QByteArray next[] = {
            comPort({2, 8}), comPort({3, 1}), comPort({4, 2}), comPort({5, 1}), {}};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(codec.feed(acks[i]).reply, next[i]);
        QCOMPARE(codec.state(), TelnetCodec::State::Ready);
        QCOMPARE(TelnetCodec::encode(bytes({Iac, 'a', Iac})), bytes({Iac, Iac, 'a', Iac, Iac}));
    }

    // How a download ends for a link name and what the server says ("%1" the link, "…" what comes
    // between). The server sends `script` (after `delayMs`), hangs up then where the row says it
    // closed, else once "SA1" of the frame came; none claims a character the network did not take.
    // A deadline is never shorter than it says: answers after 4.8 s still come in time, also when
    // the 5 s deadline starts 220 ms past a half second of the monotonic clock, where a coarse
    // timer fires at 4.78 s.
    void servers_data() {
        QTest::addColumn<QString>("url"); // a scheme for the server in this process
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("says");
        QTest::addColumn<int>("delayMs");
        const auto row = [](const char* name, const QString& url, const QString& says,
                            const QByteArray& script = {}, int delayMs = 0) {
            QTest::newRow(name) << url << script << says << delayMs;
        };
        const auto rfc = [&](const char* name, const QByteArray& script, const QString& says) {
            row(name, "rfc2217",
                (says.startsWith("Sending") ? "" : "Cannot connect to %1: ") + says, script);
        };
        const QString sent = "Sending to %1 failed after…";
        const QString closed = "the server closed the connection while this program was waiting "
                               "for the server's ";
        const QByteArray all = acks[0] + acks[1] + acks[2] + acks[3] + acks[4];
        const QString free = QString::number(Ser2Net::freePort());
        row("refused", "RFC2217://127.0.0.1:" + free,
            "Cannot connect to rfc2217://127.0.0.1:" + free + ": the connection was refused");
        row("unknown name", "socket://no-such-sign.invalid:2001",
            "Cannot connect to %1: the name no-such-sign.invalid could not be resolved");
        row("raw", "socket", sent + ": the server closed the connection");
        rfc("silent", {},
            "no answer within 5 s while waiting for the server's agreement to the "
            "COM-PORT-OPTION");
        row("answers just in time", "rfc2217", sent, agreed + all, 4800);
        rfc("notifications between",
            agreed + comPort({107, 0x30}) + acks[0] + acks[1] + comPort({106, 0x60}) + acks[2] +
                acks[3] + acks[4],
            sent);
        rfc("binary refused",
            command(Do, ComPort) + command(Dont, Binary) + command(Wont, Binary) + all, sent);
        rfc("binary unanswered", command(Do, ComPort) + all, closed + "answer to BINARY");
        rfc("hang up", command(Do, ComPort), closed + "acknowledgement of baud rate 300");
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
        QFETCH(int, delayMs);
        QTcpServer server;
        QByteArray received;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            QTimer::singleShot(delayMs, Qt::PreciseTimer, socket, [&, socket] {
                socket->write(script);
                if (says.contains("closed the connection while"))
                    socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::readyRead, [&received, socket] {
                if ((received += socket->readAll()).contains("SA1"))
                    socket->disconnectFromHost();
            });
        });
        if (!url.contains(':'))
            url = QStringLiteral("%1://127.0.0.1:%2").arg(url).arg(server.serverPort());
        for (timespec now{}; delayMs && clock_gettime(CLOCK_MONOTONIC, &now) == 0 &&
                             now.tv_nsec / 1000000 % 500 != 220;)
            QTest::qSleep(1);
        Download download;
        QVERIFY(!(download.start(url) && download.finishedOk()));
        const QStringList ends = says.replace("%1", url).split(u'…');
        QVERIFY2(download.error().startsWith(ends[0]) && download.error().endsWith(ends.value(1)),
                 qPrintable(download.error()));
        QVERIFY(ends.size() > 1 ? download.session.taken() >= 3 : download.session.taken() == 0);
    }

    // A server that takes two connections still has one sender at a time on this computer: a
    // second download to its address and port, named otherwise, is refused while the first
    // sends, and the far line receives one frame whole. Then the server is free again.
    void oneSenderPerServer() {
        PseudoTerminal far;
        Ser2Net server(far.slavePath(), false, 2);
        QVERIFY2(server.error().isEmpty(), qPrintable(server.error()));
        const QString other = QString(server.url()).replace("127.0.0.1", "localhost");
        Download first, second;
        QObject::connect(&first.session, &DownloadSession::columnSent, [&](int column) {
            if (column == 0)
                QVERIFY(second.start(other));
        });
        QVERIFY(first.start(server.url()) && first.finishedOk());
        QVERIFY(!second.finishedOk());
        QCOMPARE(second.error(), "Cannot connect to " + other +
                                     ": another program is sending to it. Wait until it has "
                                     "finished, then try again.");
        QCOMPARE(far.read(DownloadFrame::Length + 1, 500), Frame);
        DeviceLock free;
        QVERIFY(free.lockServer(QHostAddress::LocalHost, server.url().section(':', -1).toUShort()));
    }

    // What a link's text names, as messages name it, or why it is refused ("@" is the text).
    void linkTargets_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        const auto row = [](const char* text, const QString& named) {
            QTest::newRow(text) << QString(text) << QString(named).replace('@', text);
        };
        const QString port = "@: the port must be a number from 1 to 65535, not \"%1\"",
                      missing = "@: the port is missing; write socket://HOST:PORT",
                      form = "@: not of the form socket://HOST:PORT";
        row("socket://sign:2000", "socket://sign:2000");
        row("RFC2217://Sign.Example:2001", "rfc2217://sign.example:2001");
        row("rfc2217://[::1]:2001", "rfc2217://[::1]:2001");
        row("socket://127.0.0.1:1", "socket://127.0.0.1:1");
        row("socket://sign:2000/", port.arg("2000/"));
        row("socket://sign:0", port.arg("0"));
        row("socket://sign:", missing);
        row("socket://sign", missing);
        row("socket://[::1]", missing);
        row("socket://sign:65536", port.arg("65536"));
        row("socket://:2001", form);
        row("socket://::1:2001", "@: an IPv6 address goes in brackets, as in socket://[::1]:PORT");
        row("socket://user:pw@sign:1",
            "@: a link takes no user name or password; write socket://HOST:PORT");
        row("telnet://sign:23", "@: not a kind of link this program knows; use socket://HOST:PORT "
                                "(a raw TCP port) or rfc2217://HOST:PORT (an RFC 2217 server)");
        row("socket://[::1", form);
        row("socket://[::1]2000", form);
        row("socket://si gn:2000", form);
        row("socket://sign:2000?x", port.arg("2000?x"));
        row("/dev/ttyUSB0", "/dev/ttyUSB0");
        row("", "port 1 (/dev/ttyS0)");
        // No scheme before "://": device paths, relative to the current folder.
        for (const char* path : {"tty", "COM3", "./a://b", "C:\\x"})
            row(path, QDir::cleanPath(QDir::current().filePath(path)));
    }
    void linkTargets() {
        QFETCH(QString, text);
        QFETCH(QString, named);
        const PortTable::ScopedFolders folders({"/dev", "/nonexistent"});
        const Result<LinkTarget> link = LinkTarget::parse(text);
        QCOMPARE(link ? link->description() : link.error(), named);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
