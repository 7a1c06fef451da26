// The sign link without a window: the frame a picture becomes, and opening ports of the port
// table on real pseudo-terminals.

#include "downloadframe.h"
#include "portfolders.h"
#include "pty.h"
#include "serialport.h"

#include <QRegularExpression>
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

    // A numbered port whose device is the kernel's console is not opened; which device that is
    // goes by its number, so a port whose device only shares a console's name opens as usual, and
    // the console's device named explicitly opens too.
    void theConsoleIsRefused() {
        PseudoTerminal console, other;
        PortFolders folders;
        QVERIFY(console.isOpen() && other.isOpen() && folders.isValid());
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
        QCOMPARE(first.errorString(),
                 "it is the kernel's console (/sys/class/tty/console/active names ttyS0): the "
                 "kernel writes its messages there and a login prompt may answer on it, so this "
                 "port is not used. To free it, remove \"console=ttyS0\" from the kernel command "
                 "line (GRUB_CMDLINE_LINUX in /etc/default/grub, then \"sudo update-grub\" and a "
                 "reboot) and stop its login prompt with \"sudo systemctl disable --now "
                 "serial-getty@ttyS0.service\"; or, to send there anyway, name the device itself: "
                 "--device " +
                     device + ".");
        QCOMPARE(console.readAvailable(), QByteArray());
        QVERIFY(PortTable::listing().value(0).simplified().startsWith("1 " + device + " console "));
        QCOMPARE(PortTable::toolTip(1), "Port 1: " + device + ", the kernel's console, not used");
        QVERIFY(!PortTable::presentNow().join(' ').contains(device));
        second.setCommPort(2);
        named.setDevice(device);
        QVERIFY2(second.setPortOpen(true), qPrintable(second.errorString()));
        QVERIFY2(named.setPortOpen(true), qPrintable(named.errorString()));
        QVERIFY(named.setOutput("S") && named.setPortOpen(false));
        QCOMPARE(console.read(1), QByteArray("S"));
    }

    // A USB adapter's name under /dev/serial/by-id is listed under its port, and opens the
    // device as its port does.
    void stableNames() {
        PseudoTerminal pty;
        PortFolders folders;
        QVERIFY(pty.isOpen() && folders.isValid());
        const QString name = "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        QVERIFY(folders.link("ttyUSB1", pty.slavePath()) &&
                folders.link(name, folders.device("ttyUSB1")));
        const QStringList lines = PortTable::listing();
        const qsizetype at = lines.indexOf(QRegularExpression(" 6  .*"));
        QVERIFY(at >= 0 && lines.size() == PortTable::MaxPort + 1);
        QCOMPARE(lines.value(at + 1), "    " + folders.device(name));
        SerialPort port;
        port.setDevice(folders.device(name));
        QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
        QVERIFY(port.setOutput("S") && port.setPortOpen(false));
        QCOMPARE(pty.read(1), QByteArray("S"));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
