// The sign link without a window, on pseudo-terminals: frames, opening ports of the port table,
// downloads whose progress follows the line, and one sender per device under any name.

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

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::testing;

namespace {

const QByteArray Frame = "SA1" + QByteArray(96, '0') + "407"; // (1, 0), (3, 0), (8, 0), (2, 49)

// One download session of Frame's picture and what it said; `onStatus` sees each text first.
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
        DotPattern picture;
        for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
            picture.setText(row, col, LitText);
        SerialPort port;
        port.setDevice(device);
        return session.start(port, picture, *Speed::of(7));
    }
    bool finishedOk() {
        return runUntil([this] { return result.has_value(); }) && result->ok;
    }

    DownloadSession session;
    QStringList captions;
    std::optional<Result<Delivery>> result;
    std::function<void(const QString&)> onStatus;
};

// Opens the port, writes "S" through it and closes it again; what arrived, or why it did not.
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
        const QStringList columns{"R.R....R", "....RRRR", "RRRR....", ".R....R.", "R.R.R.RR"};
        const auto cell = [&](int row, int col) {
            return columns.value(col).mid(row - 1, 1) == LitText ? LitText : DarkText;
        };
        QCOMPARE(DownloadFrame::encode(cell, *Speed::of(3)),
                 "SA10FF042AB" + QByteArray(90, '0') + "3");
        for (const QString dark : {"B", "r", "", "RR", "R "})
            QCOMPARE(DownloadFrame::encode([&](int, int) { return dark; }, *Speed::of(5)),
                     "S" + QByteArray(100, '0') + "5");
    }

    // A port opens at 300 baud, 8 data bits, no parity, 2 stop bits, no flow control; a second
    // user, or a port with nothing there, is told why ("@" is the device folder).
    void openingAPort_data() {
        QTest::addColumn<QString>("linked"); // device names linked to the pseudo-terminal
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("word"); // in the port listing
        QTest::addColumn<QString>("says"); // how the message begins…and ends
        QTest::newRow("absent") << "ttyS3 ttyUSB7 ttyACM0" << 5 << "absent"
                                << "port 5 (@/ttyUSB0): nothing is plugged in there…Present now: "
                                   "port 4 (@/ttyS3), port 12 (@/ttyUSB7), port 13 (@/ttyACM0).";
        QTest::newRow("none present") << "" << 2 << "absent"
                                      << "port 2 (@/ttyS1): nothing is plugged in there…No serial "
                                         "device is present on any port now.";
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
        QVERIFY(folders.link("ttyS0", console.slavePath()) &&
                folders.link("ttyS1", other.slavePath()));
        // The kernel's ttyS1 is a console too, but not the device port 2 opens.
        QVERIFY(folders.writeSysfs("console/active", "tty0 ttyS0 ttyS1\n") &&
                folders.setDeviceNumber("ttyS0", console.slavePath()) &&
                folders.writeSysfs("ttyS1/dev", "4:65\n"));
        const QString device = folders.device("ttyS0");
        SerialPort first, second, named;
        first.setCommPort(1);
        QVERIFY(!first.setPortOpen(true));
        const QString error = first.errorString();
        QVERIFY2(error.startsWith("it is the kernel's console") &&
                     error.contains("serial-getty@ttyS0.service") &&
                     error.endsWith("--device " + device + "."),
                 qPrintable(error));
        QCOMPARE(console.readAvailable(), QByteArray());
        QVERIFY(PortTable::listing().value(0).simplified().startsWith("1 " + device + " console "));
        QVERIFY(!PortTable::presentNow().join(' ').contains(device));
        second.setCommPort(2);
        named.setDevice(device);
        QCOMPARE(oneCharacterThrough(second, other), "S");
        QCOMPARE(oneCharacterThrough(named, console), "S");
        const QString byId = "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        QVERIFY(folders.link(byId, folders.device("ttyS1")));
        QCOMPARE(PortTable::listing().value(2), "    " + folders.device(byId));
        named.setDevice(folders.device(byId));
        QCOMPARE(oneCharacterThrough(named, other), "S");
    }

    // The columns' texts follow what has gone out: a line held (XOFF) or full holds them back and
    // is waited on; past the stall deadline the download fails, saying how long the line took no
    // data and how many characters went out. At the text `at` the line is held, filled or hung
    // up; after `releaseMs` it is let go.
    void progressFollowsTheLine_data() {
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("releaseMs"); // -1: never
        QTest::addColumn<int>("stallMs");
        QTest::addColumn<int>("sent"); // -1: all, and complete
        const int standard = int(DownloadDeadlines().stall.count());
        const QString start = DownloadStartText;
        QTest::newRow("free") << QString() << "" << -1 << standard << -1;
        QTest::newRow("held 2 s") << "10"
                                  << "hold" << 2000 << standard << -1;
        QTest::newRow("full a moment") << start << "fill" << 300 << standard << -1;
        QTest::newRow("held too long") << "10"
                                       << "hold" << -1 << 400 << 23;
        QTest::newRow("full too long") << start << "fill" << -1 << 300 << 0;
        QTest::newRow("hung up") << "10"
                                 << "hang up" << -1 << standard << 23;
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
        const bool ok = download.finishedOk();
        const qint64 waited = held.isValid() ? held.elapsed() : 0;
        const Result<Delivery>& result = *download.result;
        if (releaseMs >= 0) // nothing shown while the line took nothing
            QCOMPARE(shownAtRelease, shownWhenHeld);
        if (sent < 0) {
            QVERIFY2(ok, qPrintable(result.error()));
            QStringList all{DownloadStartText};
            for (int col = 0; col < PatternCols; ++col)
                all << QString::number(col);
            QCOMPARE(download.captions, all << DownloadCompleteText);
            QCOMPARE(pty.read(filled + DownloadFrame::Length).mid(filled), Frame);
            return;
        }
        QVERIFY(!ok);
        QCOMPARE(result.sent, sent);
        QCOMPARE(download.captions, shownWhenHeld);
        const QString failed = QStringLiteral("Sending to %1 failed after %2 of 102 characters: ")
                                   .arg(pty.slavePath())
                                   .arg(sent);
        QVERIFY2(result.error().startsWith(failed), qPrintable(result.error()));
        if (what == "hang up") {
            QCOMPARE(result.error().mid(failed.size()), "Input/output error");
            return;
        }
        static const QRegularExpression stalled("^the line took no data for (\\d+(\\.\\d)?) s$");
        const auto match = stalled.match(result.error().mid(failed.size()));
        const double seconds = match.captured(1).toDouble(); // as long as it was, to a tenth
        QVERIFY2(match.hasMatch() && seconds >= stallMs / 1000.0 - 0.05 &&
                     seconds <= waited / 1000.0 + 0.05,
                 qPrintable(QStringLiteral("%1 after %2 ms").arg(result.error()).arg(waited)));
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
        QString second = name.startsWith("./") ? name : dir.filePath(name);
        struct stat st {};
        if (name.isEmpty())
            second = pty.slavePath();
        else if (name.endsWith("link"))
            QVERIFY(QFile::link(pty.slavePath(), dir.filePath("link")));
        else if (geteuid() != 0)
            QSKIP("making a device node needs root");
        else
            QVERIFY(::stat(QFile::encodeName(pty.slavePath()).constData(), &st) == 0 &&
                    ::mknod(QFile::encodeName(second).constData(), S_IFCHR | 0600, st.st_rdev) ==
                        0);
        const QString folder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(folder); });

        Download first, other;
        QVERIFY(pty.hold() && first.start(pty.slavePath()));
        QVERIFY(!other.start(second));
        const QString named = name.isEmpty() ? second : dir.filePath(QFileInfo(second).fileName());
        const QString error = other.session.result().error();
        QVERIFY2(error.startsWith("Cannot open " + named + ": another program is sending to it."),
                 qPrintable(error));
        QVERIFY(other.captions.isEmpty() && !other.result);
        QVERIFY(pty.release() && first.finishedOk());
        QCOMPARE(pty.read(DownloadFrame::Length), Frame);
        if (name == "node")
            return; // a pseudo-terminal opens only through its own node in /dev/pts
        QVERIFY2(other.start(second) && other.finishedOk(), qPrintable(other.result->error()));
        QCOMPARE(pty.read(DownloadFrame::Length), Frame);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
