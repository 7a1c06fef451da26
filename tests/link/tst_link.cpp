// The sign link without a window: the frame a picture becomes, and opening ports of the port
// table on real pseudo-terminals.

#include "downloadframe.h"
#include "portfolders.h"
#include "serialport.h"
#if !defined(Q_OS_WIN)
#include "pty.h"
#endif

#include <QTest>

using namespace orvane;
using namespace orvane::testing;

class TestLink : public QObject {
    Q_OBJECT

private slots:
    void frames_data() {
        QTest::addColumn<QString>("fill");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QByteArray>("frame");
        const QByteArray zeros(100, '0');
        for (const char* text : {"B", "r", "", "RR", "R "}) // only exactly "R" is lit
            QTest::newRow(text) << text << 5 << QString() << "S" + zeros + "5";
        QTest::newRow("lit") << "R" << 9 << QString() << "S" + QByteArray(100, 'F') + "9";
        QTest::newRow("bits") << "B" << 3 << "R.R....R ....RRRR RRRR.... .R....R. R.R.R.RR"
                              << "SA10FF042AB" + zeros.left(90) + "3";
    }
    void frames() {
        QFETCH(QString, fill);
        QFETCH(int, speed);
        QFETCH(QString, columns);
        QFETCH(QByteArray, frame);
        // R in `columns` (a word per column, row 1 first) is lit; every other cell holds `fill`.
        const QStringList words = columns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const auto cell = [&](int row, int col) {
            return words.value(col).mid(row - 1, 1) == LitText ? LitText : fill;
        };
        QCOMPARE(DownloadFrame::encode(cell, qint16(speed)), frame);
    }

#if defined(Q_OS_WIN)
    void openingAPort() {
        QSKIP("needs pseudo-terminals behind a folder of device links (Linux); under Wine "
              "tests/windows/serial.py sends through a COM port instead");
    }

    // Port n is COMn, and a port with nothing behind it says so in the system's words, once
    // ended (Windows' messages end in a full stop of their own).
    void comPorts() {
        for (int n = PortTable::MinPort; n <= PortTable::MaxPort; ++n)
            QCOMPARE(PortTable::tableDevice(n), QStringLiteral("COM%1").arg(n));
        SerialPort port;
        port.setCommPort(16);
        QVERIFY(!port.setPortOpen(true));
        const QString error = port.description() + ": " + port.errorString();
        QVERIFY2(error.startsWith("port 16 (COM16): nothing is plugged in there (") &&
                     !error.contains(".)"),
                 qPrintable(error));
    }
#else
    // A port opens with the line settings in force; a second user, or a port with nothing there,
    // is told why in plain words ("@" is the device folder). The port listing says what is there.
    void openingAPort_data() {
        QTest::addColumn<QString>("linked"); // device names linked to a pseudo-terminal
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("word"); // in the port listing
        QTest::addColumn<QString>("says");
        QTest::newRow("absent") << "ttyS3 ttyUSB7 ttyACM0" << 5 << "absent"
                                << "port 5 (@/ttyUSB0): nothing is plugged in there (No such file "
                                   "or directory). Present now: port 4 (@/ttyS3), port 12 "
                                   "(@/ttyUSB7), port 13 (@/ttyACM0).";
        QTest::newRow("none present") << "" << 2 << "absent"
                                      << "port 2 (@/ttyS1): nothing is plugged in there (No such "
                                         "file or directory). No serial device is present on any "
                                         "port now.";
        QTest::newRow("no UART") << "ttyS0 ttyS1" << 2 << "no-uart"
                                 << "port 2 (@/ttyS1): this built-in port has no serial hardware "
                                    "behind it (the system reports no UART there). Present now: "
                                    "port 1 (@/ttyS0).";
        QTest::newRow("in use") << "ttyACM3" << 16 << "present"
                                << "port 16 (@/ttyACM3): another program is using it (";
    }
    void openingAPort() {
        QFETCH(QString, linked);
        QFETCH(int, port);
        QFETCH(QString, word);
        QFETCH(QString, says);
        PseudoTerminal pty;
        PortFolders folders;
        QVERIFY(pty.isOpen() && folders.isValid());
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
        QVERIFY2(error.startsWith(says.replace(QLatin1Char('@'), folders.device({}).chopped(1))),
                 qPrintable(error));
    }
#endif
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
