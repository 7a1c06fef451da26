// The sign link without a window, on real pseudo-terminals: the frame a picture becomes, opening
// ports of the port table, downloads whose progress follows the line (held, full, hung up, past
// the stall deadline), and one sender per device whatever its name, also a relative one.

#include "downloadframe.h"
#include "downloadsession.h"
#include "eventloop.h"
#include "portfolders.h"
#include "pty.h"
#include "serialport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::testing;

namespace {

// Lit: (1, 0), (3, 0), (8, 0) and (2, 49).
DotPattern picture() {
    DotPattern p;
    for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
        p.setText(row, col, LitText);
    return p;
}
const QByteArray Frame = "SA1" + QByteArray(96, '0') + "407";

QStringList captionsTo(int lastColumn, bool complete = false) {
    QStringList s{DownloadStartText};
    for (int col = 0; col <= lastColumn; ++col)
        s << QString::number(col);
    return complete ? s << DownloadCompleteText : s;
}

// One download session and what it said; `onStatus` sees each status text first.
struct Download {
    explicit Download(DownloadDeadlines deadlines = {}) : session(deadlines) {
        QObject::connect(&session, &DownloadSession::status, [this](const QString& text) {
            captions << text;
            if (onStatus)
                onStatus(text);
        });
        QObject::connect(&session, &DownloadSession::finished,
                         [this](const Result<Delivery>& r) { result = r; });
    }
    bool start(const QString& device) {
        SerialPort port;
        port.setDevice(device);
        return session.start(port, picture(), *Speed::of(7));
    }
    bool finish() {
        return runUntil([this] { return result.has_value(); });
    }

    DownloadSession session;
    QStringList captions;
    std::optional<Result<Delivery>> result;
    std::function<void(const QString&)> onStatus;
};

// Opens the port, writes one character through it and closes it again; what arrived.
QByteArray oneCharacterThrough(SerialPort& port, PseudoTerminal& pty) {
    if (!port.setPortOpen(true))
        return port.errorString().toLocal8Bit();
    port.setOutput("S");
    runUntil([&] { return port.port().bytesToWrite() == 0; });
    port.setPortOpen(false);
    return pty.read(1);
}

} // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    // A column is a byte in hex, row 1 its top bit; then the speed. Only exactly "R" is lit.
    void frames() {
        const QByteArray zeros(100, '0');
        for (const QString dark : {"B", "r", "", "RR", "R "})
            QCOMPARE(DownloadFrame::encode([&](int, int) { return dark; }, *Speed::of(5)),
                     "S" + zeros + "5");
        QCOMPARE(DownloadFrame::encode([](int, int) { return LitText; }, *Speed::of(9)),
                 "S" + QByteArray(100, 'F') + "9");
        const QStringList columns{"R.R....R", "....RRRR", "RRRR....", ".R....R.", "R.R.R.RR"};
        const auto cell = [&](int row, int col) {
            return columns.value(col).mid(row - 1, 1) == LitText ? LitText : DarkText;
        };
        QCOMPARE(DownloadFrame::encode(cell, *Speed::of(3)), "SA10FF042AB" + zeros.left(90) + "3");
    }

    // A port opens with the line settings in force; a second user, or a port with nothing there,
    // is told why in plain words ("@" is the device folder). The port listing says what is there.
    void openingAPort_data() {
        QTest::addColumn<QString>("linked"); // device names linked to a pseudo-terminal
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("word"); // in the port listing
        QTest::addColumn<QString>("says"); // how the message begins and how it ends
        const QString absent = "nothing is plugged in there (No such file or directory). ";
        QTest::newRow("absent") << "ttyS3 ttyUSB7 ttyACM0" << 5 << "absent"
                                << "port 5 (@/ttyUSB0): " + absent +
                                       "Present now: port 4 (@/ttyS3), port 12 (@/ttyUSB7), port "
                                       "13 (@/ttyACM0).";
        QTest::newRow("none present")
            << "" << 2 << "absent"
            << "port 2 (@/ttyS1): " + absent + "No serial device is present on any port now.";
        QTest::newRow("no UART") << "ttyS0 ttyS1" << 2 << "no-uart"
                                 << "port 2 (@/ttyS1): this built-in port has no serial "
                                    "hardware…Present now: port 1 (@/ttyS0).";
        QTest::newRow("in use") << "ttyACM3" << 16 << "present"
                                << "port 16 (@/ttyACM3): another program is sending to it…";
    }
    void openingAPort() {
        QFETCH(QString, linked);
        QFETCH(int, port);
        QFETCH(QString, word);
        QFETCH(QString, says);
        PseudoTerminal pty;
        PortFolders folders;
        QVERIFY(folders.isValid());
        QVERIFY(folders.setUartType("ttyS0", 4) && folders.setUartType("ttyS1", 0));
        for (const QString& name : linked.split(QLatin1Char(' '), Qt::SkipEmptyParts))
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
            QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
            QCOMPARE(t.c_oflag & OPOST, tcflag_t(0)); // bytes go out as they are
        }
        QVERIFY(!second.setPortOpen(true) && !second.PortOpen());
        const QString error = second.description() + ": " + second.errorString();
        const QStringList ends = says.replace('@', folders.device({}).chopped(1)).split(u'…');
        QVERIFY2(error.startsWith(ends[0]) && error.endsWith(ends.value(1)), qPrintable(error));
    }

    // A numbered port whose device is the kernel's console is not opened; which device that is
    // goes by its number, so a port whose device only shares a console's name opens as usual, and
    // the console's device named explicitly opens too. A USB adapter's name under
    // /dev/serial/by-id is listed under its port, and opens the device as its port does.
    void theConsoleAndStableNames() {
        PseudoTerminal console, other;
        PortFolders folders;
        QVERIFY(folders.isValid());
        QVERIFY(folders.link("ttyS0", console.slavePath()) &&
                folders.link("ttyS1", other.slavePath()));
        // ttyS1 is a console too, but the kernel's ttyS1 is not the device port 2 opens.
        QVERIFY(folders.writeSysfs("console/active", "tty0 ttyS0 ttyS1\n") &&
                folders.setDeviceNumber("ttyS0", console.slavePath()) &&
                folders.writeSysfs("ttyS1/dev", "4:65\n"));
        const QString device = folders.device("ttyS0");
        SerialPort first, second, named;
        first.setCommPort(1);
        QVERIFY(!first.setPortOpen(true));
        const QString error = first.errorString();
        QVERIFY2(
            error.startsWith("it is the kernel's console (/sys/class/tty/console/active names "
                             "ttyS0)") &&
                error.contains("\"sudo systemctl disable --now serial-getty@ttyS0.service\"") &&
                error.endsWith("name the device itself: --device " + device + "."),
            qPrintable(error));
        QCOMPARE(console.readAvailable(), QByteArray());
        QVERIFY(PortTable::listing().value(0).simplified().startsWith("1 " + device + " console "));
        QCOMPARE(PortTable::toolTip(1), "Port 1: " + device + ", the kernel's console, not used");
        QVERIFY(!PortTable::presentNow().join(' ').contains(device));
        second.setCommPort(2);
        named.setDevice(device);
        QCOMPARE(oneCharacterThrough(second, other), "S");
        QCOMPARE(oneCharacterThrough(named, console), "S");
        const QString byId = "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        QVERIFY(folders.link(byId, folders.device("ttyS1")));
        const QStringList lines = PortTable::listing();
        QVERIFY(lines.size() == PortTable::MaxPort + 1 && lines[1].simplified().startsWith("2 "));
        QCOMPARE(lines[2], "    " + folders.device(byId));
        named.setDevice(folders.device(byId));
        QCOMPARE(oneCharacterThrough(named, other), "S");
    }

    // The columns' status texts follow what has gone out on the line: a line held (XOFF) or full
    // (writes refused) holds them back and is waited on; past the stall deadline the download
    // fails saying how long the line took no data and how many characters the driver took,
    // which is what arrived. At `at` the line is held or hung up; after `releaseMs` it is let go.
    void progressFollowsTheLine_data() {
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("what");  // "hold", "fill" or "hang up"
        QTest::addColumn<int>("releaseMs"); // -1: never
        QTest::addColumn<int>("stallMs");
        QTest::addColumn<int>("sent"); // -1: all, and complete
        const auto row = [](const char* name, const QString& at, const char* what, int releaseMs,
                            int stallMs, int sent) {
            QTest::newRow(name) << at << QString(what) << releaseMs << stallMs << sent;
        };
        const int standard = int(DownloadDeadlines().stall.count());
        const QString start = DownloadStartText;
        row("free", {}, "", -1, standard, -1);
        row("held 2 s", "10", "hold", 2000, standard, -1);
        row("full a moment", start, "fill", 300, standard, -1);
        row("held too long", "10", "hold", -1, 400, 23);
        row("full too long", start, "fill", -1, 300, 0);
        row("hung up", "10", "hang up", -1, standard, 23);
    }
    void progressFollowsTheLine() {
        QFETCH(QString, at);
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
            if (text != at)
                return;
            held.start();
            if (what == "hold")
                QVERIFY(pty.hold());
            else if (what == "fill")
                filled = pty.fill();
            else
                pty.closeMaster();
            shownWhenHeld = download.captions;
            if (releaseMs >= 0)
                QTimer::singleShot(releaseMs, [&] {
                    shownAtRelease = download.captions;
                    QVERIFY(what == "hold" ? pty.release() : pty.read(filled).size() == filled);
                    filled = 0;
                });
        };
        QVERIFY(download.start(pty.slavePath()));
        QVERIFY(download.finish());
        const qint64 waited = held.isValid() ? held.elapsed() : 0;
        const Result<Delivery>& result = *download.result;
        if (releaseMs >= 0)
            QCOMPARE(shownAtRelease, shownWhenHeld); // nothing shown while the line took nothing
        if (sent < 0) {
            QVERIFY2(result.ok, qPrintable(result.error()));
            QCOMPARE(result.sent, DownloadFrame::Length);
            QCOMPARE(download.captions, captionsTo(PatternCols - 1, true));
            QCOMPARE(pty.read(filled + DownloadFrame::Length).mid(filled), Frame);
            return;
        }
        QVERIFY(!result.ok);
        QCOMPARE(result.sent, sent);
        QCOMPARE(download.captions, shownWhenHeld);
        const QString failed = QStringLiteral("Sending to %1 failed after %2 of 102 characters: ")
                                   .arg(pty.slavePath())
                                   .arg(sent);
        QVERIFY2(result.error().startsWith(failed), qPrintable(result.error()));
        if (what != "hang up") {
            // The time the line took no data, as long as it was, in seconds to a tenth.
            static const QRegularExpression stalled(
                QStringLiteral("^the line took no data for (\\d+(\\.\\d)?) s$"));
            const auto match = stalled.match(result.error().mid(failed.size()));
            QVERIFY2(match.hasMatch(), qPrintable(result.error()));
            const double seconds = match.captured(1).toDouble();
            QVERIFY2(seconds >= stallMs / 1000.0 - 0.05 && seconds <= waited / 1000.0 + 0.05,
                     qPrintable(QStringLiteral("%1 after %2 ms").arg(result.error()).arg(waited)));
            QCOMPARE(pty.read(filled + 200, 100), QByteArray(filled, '#') + Frame.left(sent));
        } else {
            QCOMPARE(result.error().mid(failed.size()), "Input/output error");
        }
    }

    // One sender per device: while a download runs, another through the same device is refused
    // under any name (the same path, a link, another node with the same device number), also as
    // root; the first frame goes out whole, and the device is free again once it has.
    void oneSenderPerDevice_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("same path") << "";
        QTest::newRow("link") << "link";
        QTest::newRow("relative link") << "./link";
        QTest::newRow("node") << "node";
    }
    void oneSenderPerDevice() {
        QFETCH(QString, name);
        PseudoTerminal pty;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString second = pty.slavePath();
        if (name.endsWith("link")) {
            QVERIFY(QFile::link(pty.slavePath(), dir.filePath("link")));
            second = name.startsWith("./") ? name : dir.filePath(name);
        } else if (name == "node") {
            if (geteuid() != 0)
                QSKIP("making a device node needs root");
            struct stat st {};
            QVERIFY(::stat(QFile::encodeName(pty.slavePath()).constData(), &st) == 0);
            second = dir.filePath("node");
            QVERIFY(::mknod(QFile::encodeName(second).constData(), S_IFCHR | 0600, st.st_rdev) ==
                    0);
        }
        const QString folder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(folder); });

        Download first, other;
        QVERIFY(pty.hold());
        QVERIFY(first.start(pty.slavePath()));
        QVERIFY(!other.start(second));
        const QString named = name.isEmpty() ? second : dir.filePath(QFileInfo(second).fileName());
        const QString error = other.session.result().error();
        QVERIFY2(error.startsWith("Cannot open " + named + ": another program is sending to it."),
                 qPrintable(error));
        QVERIFY(other.captions.isEmpty() && !other.result);
        QVERIFY(pty.release());
        QVERIFY(first.finish());
        QVERIFY2(first.result->ok, qPrintable(first.result->error()));
        QCOMPARE(pty.read(DownloadFrame::Length), Frame);
        if (name == "node")
            return; // a pseudo-terminal opens only through its own node in /dev/pts
        QVERIFY2(other.start(second), qPrintable(other.session.result().error()));
        QVERIFY(other.finish());
        QVERIFY2(other.result->ok, qPrintable(other.result->error()));
        QCOMPARE(pty.read(DownloadFrame::Length), Frame);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
