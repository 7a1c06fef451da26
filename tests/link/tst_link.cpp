// The sign link without a window: the frame a picture becomes, the order in which cells are read
// and characters handed over, and real downloads into a pseudo-terminal.

#include "download.h"
#include "downloadframe.h"
#include "portfolders.h"
#include "porttable.h"
#include "pty.h"
#include "serialport.h"

#include <QRegularExpression>

#include <QTest>

using namespace orvane;
using namespace orvane::testing;

namespace {

DotPattern picture(const QString& text) {
    DotPattern p;
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            p.setText(row, col, text);
    return p;
}

DotPattern lit(std::initializer_list<std::pair<int, int>> cells) {
    DotPattern p;
    for (auto [row, col] : cells)
        p.setText(row, col, LitText);
    return p;
}

QByteArray frameOf(const QByteArray& digits, char speed) {
    return QByteArray(1, 'S') + digits + QByteArray(1, speed);
}

// Points every port number at one device for as long as it lives.
struct PortsAt {
    explicit PortsAt(const QString& device) {
        SerialPort::setDeviceResolver([device](int) { return device; });
    }
    ~PortsAt() { SerialPort::setDeviceResolver({}); }
};

struct Recorder {
    QStringList statuses;
    DownloadStatus status() {
        return [this](const QString& s) { statuses << s; };
    }
};

QStringList downloadStatuses() {
    QStringList s{DownloadStartText};
    for (int col = 0; col < PatternCols; ++col)
        s << QString::number(col);
    s << DownloadCompleteText;
    return s;
}

} // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    void frames_data() {
        QTest::addColumn<DotPattern>("pattern");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QByteArray>("frame");

        QTest::newRow("all dark, speed 5")
            << picture(DarkText) << 5 << frameOf(QByteArray(100, '0'), '5');
        QTest::newRow("all lit, speed 9")
            << picture(LitText) << 9 << frameOf(QByteArray(100, 'F'), '9');
        QTest::newRow("only (1, 0), speed 1")
            << lit({{1, 0}}) << 1 << frameOf("80" + QByteArray(98, '0'), '1');
        QTest::newRow("only (8, 49)")
            << lit({{8, 49}}) << 5 << frameOf(QByteArray(98, '0') + "01", '5');
        // Columns 0..4: rows 1, 3, 8 / rows 5..8 / rows 1..4 / rows 2, 7 / rows 1, 3, 5, 7, 8.
        QTest::newRow("column bytes") << lit({{1, 0},
                                              {3, 0},
                                              {8, 0},
                                              {5, 1},
                                              {6, 1},
                                              {7, 1},
                                              {8, 1},
                                              {1, 2},
                                              {2, 2},
                                              {3, 2},
                                              {4, 2},
                                              {2, 3},
                                              {7, 3},
                                              {1, 4},
                                              {3, 4},
                                              {5, 4},
                                              {7, 4},
                                              {8, 4}})
                                      << 3 << frameOf("A10FF042AB" + QByteArray(90, '0'), '3');
        QTest::newRow("only exact R is lit")
            << picture(QStringLiteral("r")) << 5 << frameOf(QByteArray(100, '0'), '5');
        QTest::newRow("empty is dark")
            << picture(QString()) << 5 << frameOf(QByteArray(100, '0'), '5');
        QTest::newRow("RR is dark")
            << picture(QStringLiteral("RR")) << 5 << frameOf(QByteArray(100, '0'), '5');
        QTest::newRow("R with a blank is dark")
            << picture(QStringLiteral("R ")) << 5 << frameOf(QByteArray(100, '0'), '5');
    }
    void frames() {
        QFETCH(DotPattern, pattern);
        QFETCH(int, speed);
        QFETCH(QByteArray, frame);
        const QByteArray encoded = DownloadFrame::encode(pattern.reader(), qint16(speed));
        QCOMPARE(encoded.size(), DownloadFrame::Length);
        QCOMPARE(encoded, frame);
    }

    void digitsAreUppercaseHex() {
        const QByteArray expected = "0123456789ABCDEF";
        for (int n = 0; n < 16; ++n)
            QCOMPARE(DownloadFrame::hexDigit(n), expected.at(n));
        QCOMPARE(int(DownloadFrame::highDigit(0xAB)), 0x41);
        QCOMPARE(int(DownloadFrame::lowDigit(0xAB)), 0x42);
        for (int speed = MinSpeed; speed <= MaxSpeed; ++speed)
            QCOMPARE(DownloadFrame::speedCharacter(qint16(speed)), char('0' + speed));
    }

    void accumulateBitSetsTheWeightOnlyForR() {
        DownloadFrame frame;
        frame.ColumnByte = 0x01;
        frame.BitWeight = 0x10;
        for (const QString& dark :
             {QStringLiteral("B"), QStringLiteral("r"), QString(), QStringLiteral("RR")}) {
            frame.CellText = dark;
            frame.AccumulateBit();
            QCOMPARE(frame.ColumnByte, quint8(0x01));
        }
        frame.CellText = LitText;
        frame.AccumulateBit();
        QCOMPARE(frame.ColumnByte, quint8(0x11));
        QCOMPARE(frame.CellText, LitText);
    }

    // Every character is handed over the moment it is known: "S" before the first cell is read,
    // both digits of a column before any cell of the next, the speed once, after the last column.
    void readsAndHandsOverInOrder() {
        const DotPattern pattern = lit({{2, 7}});
        QStringList log;
        DownloadFrame frame;
        const bool complete = frame.send(
            [&](int row, int col) {
                log << QStringLiteral("read %1,%2").arg(row).arg(col);
                return pattern.text(row, col);
            },
            [&] {
                log << QStringLiteral("speed");
                return qint16(4);
            },
            [&](char c) {
                log << QStringLiteral("put %1").arg(QLatin1Char(c));
                return true;
            },
            [&](int col) { log << QStringLiteral("column %1").arg(col); });
        QVERIFY(complete);

        QStringList expected{QStringLiteral("put S")};
        for (int col = 0; col < PatternCols; ++col) {
            for (int row = 1; row <= PatternRows; ++row)
                expected << QStringLiteral("read %1,%2").arg(row).arg(col);
            expected << (col == 7 ? QStringLiteral("put 4") : QStringLiteral("put 0"))
                     << QStringLiteral("put 0") << QStringLiteral("column %1").arg(col);
        }
        expected << QStringLiteral("speed") << QStringLiteral("put 4");
        QCOMPARE(log, expected);
    }

    void aRefusingSinkStopsTheFrame() {
        int reads = 0, puts = 0, speedReads = 0;
        DownloadFrame frame;
        const bool complete = frame.send(
            [&](int, int) {
                ++reads;
                return DarkText;
            },
            [&] {
                ++speedReads;
                return qint16(5);
            },
            [&](char) { return ++puts < 6; }); // "S", column 0, column 1, then refused
        QVERIFY(!complete);
        QCOMPARE(puts, 6);
        QCOMPARE(reads, 3 * PatternRows);
        QCOMPARE(speedReads, 0);
    }

    void theTableNamesOneDevicePerPort_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("device");
        QTest::addColumn<PortKind>("kind");
        QTest::newRow("1") << 1 << "/dev/ttyS0" << PortKind::BuiltIn;
        QTest::newRow("4") << 4 << "/dev/ttyS3" << PortKind::BuiltIn;
        QTest::newRow("5") << 5 << "/dev/ttyUSB0" << PortKind::UsbAdapter;
        QTest::newRow("12") << 12 << "/dev/ttyUSB7" << PortKind::UsbAdapter;
        QTest::newRow("13") << 13 << "/dev/ttyACM0" << PortKind::UsbCdc;
        QTest::newRow("16") << 16 << "/dev/ttyACM3" << PortKind::UsbCdc;
    }
    void theTableNamesOneDevicePerPort() {
        QFETCH(int, port);
        QFETCH(QString, device);
        QFETCH(PortKind, kind);
        QCOMPARE(SerialPort::defaultDevice(port), device);
        QCOMPARE(SerialPort::deviceFor(port), device);
        QCOMPARE(PortTable::kind(port), kind);
        SerialPort serial;
        serial.setCommPort(port);
        QCOMPARE(serial.description(), QStringLiteral("port %1 (%2)").arg(port).arg(device));
        {
            PortsAt ports(QStringLiteral("/dev/pts/99"));
            QCOMPARE(serial.device(), QStringLiteral("/dev/pts/99"));
        }
        QCOMPARE(serial.device(), device);
        serial.setDevice(QStringLiteral("/tmp/sign"));
        QCOMPARE(serial.description(), QStringLiteral("/tmp/sign"));
    }

    void helpFollowsTheTable() {
        QCOMPARE(PortTable::helpLines(),
                 QStringList({"1..4    /dev/ttyS0 .. /dev/ttyS3      built-in serial ports",
                              "5..12   /dev/ttyUSB0 .. /dev/ttyUSB7  USB serial adapters (FTDI, "
                              "CH340, PL2303, CP210x)",
                              "13..16  /dev/ttyACM0 .. /dev/ttyACM3  USB CDC devices"}));
    }

    // What is in the device folder and sysfs, looked at afresh on every call.
    void presenceIsFoundEachTime_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("linked");  // to a real pseudo-terminal
        QTest::addColumn<int>("uartType"); // -1: no sysfs entry
        QTest::addColumn<PortPresence>("presence");
        QTest::newRow("adapter plugged in") << "ttyUSB1" << true << -1 << PortPresence::Present;
        QTest::newRow("nothing there") << "ttyUSB1" << false << -1 << PortPresence::Absent;
        QTest::newRow("built-in with a UART") << "ttyS1" << true << 4 << PortPresence::Present;
        QTest::newRow("built-in, no UART") << "ttyS1" << true << 0 << PortPresence::NoUart;
        QTest::newRow("no UART, no device") << "ttyS1" << false << 0 << PortPresence::Absent;
    }
    void presenceIsFoundEachTime() {
        QFETCH(QString, name);
        QFETCH(bool, linked);
        QFETCH(int, uartType);
        QFETCH(PortPresence, presence);
        PseudoTerminal pty;
        PortFolders folders;
        QVERIFY(pty.isOpen() && folders.isValid());
        const int port = name == QLatin1String("ttyS1") ? 2 : 6;
        QCOMPARE(PortTable::device(port), folders.device(name));
        QCOMPARE(PortTable::status(port).presence, PortPresence::Absent);
        if (linked)
            QVERIFY(folders.link(name, pty.slavePath()));
        if (uartType >= 0)
            QVERIFY(folders.setUartType(name, uartType));
        QCOMPARE(PortTable::status(port).presence, presence);
        QCOMPARE(PortTable::presenceOf(folders.device(name)), presence);
    }

    void listsEveryPortWithItsStatus() {
        PseudoTerminal pty;
        PortFolders folders;
        QVERIFY(pty.isOpen() && folders.isValid());
        QVERIFY(folders.link(QStringLiteral("ttyS0"), pty.slavePath()));
        QVERIFY(folders.link(QStringLiteral("ttyS1"), pty.slavePath()));
        QVERIFY(folders.setUartType(QStringLiteral("ttyS1"), 0));
        QVERIFY(folders.link(QStringLiteral("ttyUSB1"), pty.slavePath()));
        QVERIFY(folders.link(QStringLiteral("ttyACM3"), QStringLiteral("/nonexistent/tty")));

        const QStringList lines = PortTable::listing();
        QCOMPARE(lines.size(), 16);
        const auto expect = [&](int port, const char* name, const char* word, const char* what) {
            const QRegularExpression line(
                QStringLiteral("^ *%1  %2 +%3 +%4$")
                    .arg(port)
                    .arg(QRegularExpression::escape(folders.device(QLatin1String(name))),
                         QLatin1String(word), QLatin1String(what)));
            QVERIFY2(line.match(lines.at(port - 1)).hasMatch(), qPrintable(lines.at(port - 1)));
        };
        expect(1, "ttyS0", "present", "built-in serial port");
        expect(2, "ttyS1", "no-uart", "built-in serial port");
        expect(5, "ttyUSB0", "absent", "USB serial adapter");
        expect(6, "ttyUSB1", "present", "USB serial adapter");
        expect(16, "ttyACM3", "absent", "USB CDC device");
        QCOMPARE(PortTable::toolTip(6),
                 QStringLiteral("Port 6: %1, present").arg(folders.device("ttyUSB1")));
        QCOMPARE(PortTable::toolTip(2), QStringLiteral("Port 2: %1, no serial hardware behind it")
                                            .arg(folders.device("ttyS1")));
    }

    // Why a port cannot be used, in plain words; nothing reaches the line.
    void aPortThatCannotBeUsedSaysWhy_data() {
        QTest::addColumn<QStringList>("linked"); // device names linked to the pseudo-terminal
        QTest::addColumn<int>("port");
        QTest::addColumn<QStringList>("says"); // "@" stands for the device folder
        QTest::newRow("absent, another present")
            << QStringList{"ttyUSB1", "ttyACM0"} << 5
            << QStringList{"Cannot open port 5 (@/ttyUSB0): nothing is plugged in there (No such "
                           "file or directory). Present now: port 6 (@/ttyUSB1), port 13 "
                           "(@/ttyACM0)."};
        QTest::newRow("absent, none present")
            << QStringList{} << 16
            << QStringList{"Cannot open port 16 (@/ttyACM3): nothing is plugged in there",
                           "No serial device is present on any port now."};
        QTest::newRow("no UART") << QStringList{"ttyS0", "ttyS1"} << 2
                                 << QStringList{"Cannot open port 2 (@/ttyS1): this built-in port "
                                                "has no serial hardware behind it",
                                                "Present now: port 1 (@/ttyS0)."};
    }
    void aPortThatCannotBeUsedSaysWhy() {
        QFETCH(QStringList, linked);
        QFETCH(int, port);
        QFETCH(QStringList, says);
        PseudoTerminal pty;
        PortFolders folders;
        QVERIFY(pty.isOpen() && folders.isValid());
        for (const QString& name : linked)
            QVERIFY(folders.link(name, pty.slavePath()));
        QVERIFY(folders.setUartType(QStringLiteral("ttyS0"), 4));
        QVERIFY(folders.setUartType(QStringLiteral("ttyS1"), 0));

        SerialPort serial;
        serial.setCommPort(port);
        DownloadFrame frame;
        Recorder recorder;
        const DownloadResult result = runDownload(
            serial, frame, DotPattern().reader(), [] { return qint16(5); }, recorder.status());
        QVERIFY(!result.ok);
        QVERIFY(!serial.PortOpen());
        QVERIFY(recorder.statuses.isEmpty());
        for (QString part : says) {
            part.replace(QLatin1Char('@'), folders.device({}).chopped(1));
            QVERIFY2(result.error.contains(part), qPrintable(result.error));
        }
        QCOMPARE(pty.readAvailable(), QByteArray());
    }

    void lineSettingsAreInForceWhileOpen() {
        PseudoTerminal pty;
        QVERIFY2(pty.isOpen(), qPrintable(pty.error()));
        PortsAt ports(pty.slavePath());
        SerialPort port;
        QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
        QVERIFY(port.PortOpen());
        const termios t = pty.slaveSettings();
        QVERIFY(port.setPortOpen(false));
        QVERIFY(!port.PortOpen());

        QCOMPARE(cfgetospeed(&t), speed_t(B300));
        QCOMPARE(cfgetispeed(&t), speed_t(B300));
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(t.c_cflag & PARENB, tcflag_t(0));
        QCOMPARE(t.c_cflag & CSTOPB, tcflag_t(CSTOPB));
        QCOMPARE(t.c_cflag & CRTSCTS, tcflag_t(0));
        QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
        QCOMPARE(t.c_oflag & OPOST, tcflag_t(0)); // bytes go out as they are
    }

    void downloadsTheFrameIntoAPseudoTerminal() {
        PseudoTerminal pty;
        QVERIFY2(pty.isOpen(), qPrintable(pty.error()));
        PortsAt ports(pty.slavePath());
        const DotPattern pattern = lit({{1, 0}, {3, 0}, {8, 0}, {4, 25}, {8, 49}});
        const QByteArray expected = DownloadFrame::encode(pattern.reader(), 7);
        SerialPort port;
        DownloadFrame frame;
        for (int run = 0; run < 2; ++run) {
            Recorder recorder;
            const DownloadResult result = runDownload(
                port, frame, pattern.reader(), [] { return qint16(7); }, recorder.status());
            QVERIFY2(result.ok, qPrintable(result.error));
            QCOMPARE(result.sent, DownloadFrame::Length);
            QVERIFY(!port.PortOpen());
            QCOMPARE(recorder.statuses, downloadStatuses());
            QCOMPARE(pty.read(DownloadFrame::Length), expected);
            QCOMPARE(pty.readAvailable(), QByteArray());
        }
    }

    void aMissingDeviceIsReportedAndNothingHappens() {
        PortsAt ports(QStringLiteral("/nonexistent/orvane-tty"));
        SerialPort port;
        port.setCommPort(4);
        DownloadFrame frame;
        Recorder recorder;
        int reads = 0;
        const DownloadResult result = runDownload(
            port, frame,
            [&](int, int) {
                ++reads;
                return DarkText;
            },
            [] { return qint16(5); }, recorder.status());
        QVERIFY(!result.ok);
        QCOMPARE(result.sent, 0);
        QCOMPARE(reads, 0);
        QVERIFY(recorder.statuses.isEmpty());
        QVERIFY(!port.PortOpen());
        QVERIFY2(result.error.contains(QStringLiteral("port 4 (/nonexistent/orvane-tty)")),
                 qPrintable(result.error));
        QVERIFY2(result.error.contains(QStringLiteral("No such file or directory")),
                 qPrintable(result.error));
    }

    void aPortInUseCannotBeOpenedTwice() {
        PseudoTerminal pty;
        QVERIFY2(pty.isOpen(), qPrintable(pty.error()));
        PortsAt ports(pty.slavePath());
        SerialPort first, second;
        QVERIFY2(first.setPortOpen(true), qPrintable(first.errorString()));
        DownloadFrame frame;
        Recorder recorder;
        const DownloadResult result = runDownload(
            second, frame, DotPattern().reader(), [] { return qint16(5); }, recorder.status());
        QVERIFY(!result.ok);
        QVERIFY(recorder.statuses.isEmpty());
        QVERIFY2(result.error.startsWith(
                     QStringLiteral("Cannot open port 1 (%1): another program is using it (")
                         .arg(pty.slavePath())),
                 qPrintable(result.error));
        QVERIFY(first.setPortOpen(false));
        QCOMPARE(pty.readAvailable(), QByteArray());
    }

    void aDeviceThatGoesAwayStopsTheDownload() {
        SerialPort port;
        DownloadFrame frame;
        const DotPattern pattern = picture(LitText);
        QString device;
        {
            PseudoTerminal pty;
            QVERIFY2(pty.isOpen(), qPrintable(pty.error()));
            device = pty.slavePath();
            PortsAt ports(device);
            QStringList statuses;
            const DownloadResult result = runDownload(
                port, frame, pattern.reader(), [] { return qint16(9); },
                [&](const QString& s) {
                    statuses << s;
                    if (s == QLatin1String("10"))
                        pty.closeMaster();
                });
            QVERIFY(!result.ok);
            QVERIFY(!port.PortOpen());
            QCOMPARE(statuses.last(), QStringLiteral("10"));
            QVERIFY(!statuses.contains(DownloadCompleteText));
            QCOMPARE(result.sent, 1 + 2 * 11);
            QVERIFY2(result.error.contains(QStringLiteral("port 1 (%1)").arg(device)),
                     qPrintable(result.error));
            QVERIFY2(result.error.contains(QStringLiteral("23 of 102")), qPrintable(result.error));
            QVERIFY2(result.error.contains(QStringLiteral("Input/output error")),
                     qPrintable(result.error));
        }
        // The same port object works again once a device is there.
        PseudoTerminal pty;
        PortsAt ports(pty.slavePath());
        Recorder recorder;
        const DownloadResult again = runDownload(
            port, frame, pattern.reader(), [] { return qint16(9); }, recorder.status());
        QVERIFY2(again.ok, qPrintable(again.error));
        QCOMPARE(recorder.statuses, downloadStatuses());
        QCOMPARE(pty.read(DownloadFrame::Length), frameOf(QByteArray(100, 'F'), '9'));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
