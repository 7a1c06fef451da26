// orvane-send as a separate process: the frame it prints and sends, its exit codes and messages,
// and that it sends exactly what the editor's "Down Load" sends for the same file.

#include "beep.h"
#include "errorreport.h"
#include "filedialog.h"
#include "form1.h"
#include "gridprobe.h"
#include "pty.h"
#include "serialport.h"

#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::testing;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// Runs orvane-send to its end; `input` goes to its standard input.
Run runSend(const QStringList& arguments, const QByteArray& input = {},
            const QString& errorFile = {}) {
    QProcess process;
    if (!errorFile.isEmpty())
        process.setStandardErrorFile(errorFile);
    process.start(QStringLiteral(ORVANE_SEND), arguments);
    if (!process.waitForStarted())
        qFatal("orvane-send did not start");
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        qFatal("orvane-send did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// A picture with column 0 = 0xA1 and column 49 = 0x40 at the given speed line.
QByteArray patternFile(const QByteArray& speedLine = " 7 ") {
    QByteArray bytes = "RBRBBBBR\r\n";
    for (int col = 1; col < 49; ++col)
        bytes += "BBBBBBBB\r\n";
    return bytes + "BRBBBBBB\r\n" + speedLine + "\r\n\r\n";
}
const QByteArray Frame = "SA1" + QByteArray(96, '0') + "407";

} // namespace

class TestSend : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file;

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase() { file = writeFile(QStringLiteral("sign.txt"), patternFile()); }

    void printsTheFrame() {
        const Run run = runSend({file, QStringLiteral("--frame")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, Frame); // no line end when standard output is not a terminal
        QCOMPARE(run.err, QString());

        QCOMPARE(runSend({file, QStringLiteral("--frame"), QStringLiteral("--speed=2")}).out,
                 Frame.chopped(1) + '2');
        QCOMPARE(runSend({QStringLiteral("-"), QStringLiteral("--frame")}, patternFile(" 3 ")).out,
                 Frame.chopped(1) + '3');
    }

    // --show and --save are outputs like --frame: the port is opened only when one is named.
    void showsAndSaves() {
        const QString saved = dir.filePath(QStringLiteral("copy.txt"));
        Run run = runSend({file, QStringLiteral("--show"), QStringLiteral("--save"), saved,
                           QStringLiteral("--speed=4")});
        QCOMPARE(run.exitCode, 0);
        const QByteArray dark(50, '.');
        QCOMPARE(run.out, "#" + dark.left(49) + "\n" + dark.left(49) + "#\n#" + dark.left(49) +
                              "\n" + (dark + "\n").repeated(4) + "#" + dark.left(49) + "\n");
        QCOMPARE(runSend({saved, QStringLiteral("--frame")}).out, Frame.chopped(1) + '4');

        PseudoTerminal pty;
        QVERIFY(pty.isOpen());
        run = runSend(
            {file, QStringLiteral("--save"), saved, QStringLiteral("--device"), pty.slavePath()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(pty.read(DownloadFrame::Length), Frame);

        run = runSend({file, QStringLiteral("--save"), dir.filePath(QStringLiteral("no/x.txt"))});
        QCOMPARE(run.exitCode, 4);
        QVERIFY2(run.err.contains(QStringLiteral("no/x.txt: cannot save")), qPrintable(run.err));
    }

    // Text in a font the test writes ("A" is 3 x 3 on the baseline, a space 2 wide), aligned;
    // a character the font lacks is a box and a warning, not a failure.
    void sendsText_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("start");
        QTest::addColumn<QByteArray>("columns");
        QTest::addColumn<QString>("warning");
        const QByteArray aSpaceA = "0E0A0E00"
                                   "0000"
                                   "0E0A0E00";
        QTest::newRow("left") << QStringList{"--text=A A"} << 0 << aSpaceA << QString();
        QTest::newRow("center") << QStringList{"--text=A A", "--align=center"} << 20 << aSpaceA
                                << QString();
        QTest::newRow("right") << QStringList{"--text=A A", "--align=right"} << 40 << aSpaceA
                               << QString();
        QTest::newRow("missing") << QStringList{"--text=AB"} << 0
                                 << QByteArray("0E0A0E00"
                                               "FE8282FE00")
                                 << QStringLiteral("has no \"B\" (U+0042); it is drawn as a box");
    }
    void sendsText() {
        QFETCH(QStringList, arguments);
        QFETCH(int, start);
        QFETCH(QByteArray, columns);
        QFETCH(QString, warning);
        const QString font = writeFile(
            QStringLiteral("a.bdf"),
            QByteArrayLiteral(
                "STARTFONT 2.1\nFONT a\nSIZE 8 75 75\nFONTBOUNDINGBOX 3 8 0 -1\nSTARTPROPERTIES 2\n"
                "FONT_ASCENT 7\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS 2\n"
                "STARTCHAR A\nENCODING 65\nDWIDTH 4 0\nBBX 3 3 0 0\nBITMAP\nE0\nA0\nE0\nENDCHAR\n"
                "STARTCHAR space\nENCODING 32\nDWIDTH 2 0\nBBX 1 1 0 0\nBITMAP\n00\nENDCHAR\n"
                "ENDFONT\n"));
        const Run run = runSend(arguments + QStringList{"--font", font, "--frame"});
        QCOMPARE(run.exitCode, 0);
        const QByteArray dark(100, '0');
        QCOMPARE(run.out,
                 "S" + dark.left(2 * start) + columns + dark.mid(2 * start + columns.size()) + "5");
        if (warning.isEmpty())
            QCOMPARE(run.err, QString());
        else
            QVERIFY2(run.err.startsWith(
                         QStringLiteral("orvane-send: warning: the font %1 ").arg(font)) &&
                         run.err.contains(warning),
                     qPrintable(run.err));
    }

    // A picture written as PNG and read back as an image is the same picture; what is no image
    // or no font is refused with its name.
    void imagesAndFontsInAndOut() {
        const QString png = dir.filePath(QStringLiteral("sign.png"));
        QCOMPARE(
            runSend({file, QStringLiteral("--png"), png, QStringLiteral("--scale=3")}).exitCode, 0);
        QCOMPARE(runSend({QStringLiteral("--image"), png, QStringLiteral("--frame"),
                          QStringLiteral("--speed=7")})
                     .out,
                 Frame);
        for (const QStringList& source :
             {QStringList{"--image", file}, QStringList{"--text=A", "--font", file}}) {
            const Run run = runSend(source + QStringList{"--frame"});
            QCOMPARE(run.exitCode, 3);
            QVERIFY2(run.err.startsWith(QStringLiteral("orvane-send: %1: ").arg(file)),
                     qPrintable(run.err));
        }
    }

    // The same file through the editor (Load, then Down Load) and through orvane-send.
    void sendsWhatTheEditorSends() {
        PseudoTerminal pty;
        QVERIFY2(pty.isOpen(), qPrintable(pty.error()));
        SerialPort::setDeviceResolver([&](int) { return pty.slavePath(); });
        CommonDialog::setAnswer([this] { return file; });
        QStringList errors;
        setErrorHandler([&](QWidget*, const QString&, const QString& text) { errors << text; });
        BeepCounter beeps;
        QByteArray fromEditor;
        {
            Form1 form;
            form.show();
            QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command2")),
                              Qt::LeftButton);
            QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command4")),
                              Qt::LeftButton);
            QTRY_VERIFY(!form.downloading());
            fromEditor = pty.read(DownloadFrame::Length);
        }
        setErrorHandler({});
        CommonDialog::setAnswer({});
        SerialPort::setDeviceResolver({});
        QCOMPARE(errors, QStringList());
        QCOMPARE(fromEditor.size(), DownloadFrame::Length);

        QCOMPARE(runSend({file, QStringLiteral("--frame")}).out, fromEditor);
        const Run sent = runSend({file, QStringLiteral("--device"), pty.slavePath()});
        QCOMPARE(sent.exitCode, 0);
        QCOMPARE(sent.err, QString()); // no progress when standard error is not a terminal
        QCOMPARE(pty.readAvailable(), fromEditor);
    }

    void showsProgressOnATerminal() {
        PseudoTerminal line;
        PseudoTerminal terminal;
        QVERIFY(line.isOpen() && terminal.isOpen());
        const Run run = runSend({file, QStringLiteral("--device=") + line.slavePath()}, {},
                                terminal.slavePath());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(line.read(200, 300), Frame);
        const QString progress = QString::fromLocal8Bit(terminal.readAvailable());
        QVERIFY2(progress.contains(QStringLiteral("column 50 of 50")), qPrintable(progress));
        // The terminal turns the closing line end into CR LF.
        const QString done = QStringLiteral("\r\033[Ksent 102 characters to %1\r\n");
        QVERIFY2(progress.endsWith(done.arg(line.slavePath())), qPrintable(progress));
    }

    void refusesWhatLoadRefuses_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("speed 0") << patternFile("0") << QStringLiteral("line 51: the speed");
        QTest::newRow("letters") << patternFile(" fast ") << QStringLiteral("line 51: the speed");
        QTest::newRow("empty speed") << patternFile("") << QStringLiteral("line 51: the speed");
        QTest::newRow("50 lines") << patternFile().left(500) << QStringLiteral("50 lines");
    }
    void refusesWhatLoadRefuses() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QString bad = writeFile(QStringLiteral("bad.txt"), bytes);
        for (const QString& mode : {QStringLiteral("--frame"), QStringLiteral("--port=1")}) {
            const Run run = runSend({bad, mode});
            QCOMPARE(run.exitCode, 3);
            QCOMPARE(run.out, QByteArray());
            QVERIFY2(run.err.startsWith(QStringLiteral("orvane-send: %1: ").arg(bad)) &&
                         run.err.contains(says),
                     qPrintable(run.err));
        }
        const Run missing = runSend({dir.filePath(QStringLiteral("none.txt")), "--frame"});
        QCOMPARE(missing.exitCode, 3);
        QVERIFY2(missing.err.contains(QStringLiteral("none.txt: cannot open the file")),
                 qPrintable(missing.err));
    }

    void badUsage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("says");
        QTest::newRow("port 0") << QStringList{file, "--port", "0"} << "from 1 to 16, not \"0\"";
        QTest::newRow("port 17") << QStringList{file, "--port=17"} << "from 1 to 16";
        QTest::newRow("port word") << QStringList{file, "--port", "one"} << "not \"one\"";
        QTest::newRow("no port") << QStringList{file, "--port"} << "Missing value after '--port'";
        QTest::newRow("speed 10") << QStringList{file, "--speed", "10"} << "from 1 to 9";
        QTest::newRow("both") << QStringList{file, "--port=2", "--device=/dev/null"} << "not both";
        QTest::newRow("no source") << QStringList{"--frame"} << "nothing to send";
        QTest::newRow("two sources") << QStringList{file, "--text=A"} << "give one source";
        QTest::newRow("font alone")
            << QStringList{file, "--font", file} << "--font goes with --text";
        QTest::newRow("invert alone") << QStringList{file, "--invert"} << "--invert goes with";
        QTest::newRow("align") << QStringList{"--text=A", "--align=middle"} << "not \"middle\"";
        QTest::newRow("threshold") << QStringList{"--image", file, "--threshold=101"} << "0 to 100";
        QTest::newRow("scale") << QStringList{file, "--png=x.png", "--scale=0"} << "1 to 100";
        QTest::newRow("two files") << QStringList{file, file} << "only one pattern file";
        QTest::newRow("unknown") << QStringList{file, "--fast"} << "Unknown option 'fast'";
        QTest::newRow("two on stdout") << QStringList{file, "--frame", "--show"} << "give one";
    }
    void badUsage() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        const Run run = runSend(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(says) && run.err.contains(QStringLiteral("--help")),
                 qPrintable(run.err));
        QCOMPARE(run.out, QByteArray());
    }

    void helpAndVersion() {
        const Run help = runSend({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        for (const char* part : {"Usage: orvane-send [OPTION]... FILE", "/dev/ttyS0",
                                 "/dev/ttyUSB0", "/dev/ttyACM3", "3  the source"})
            QVERIFY2(help.out.contains(part), part);
        const Run ports = runSend({QStringLiteral("--list-ports")});
        QCOMPARE(ports.exitCode, 0);
        const QList<QByteArray> lines = ports.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 16);
        const QRegularExpression line(
            QStringLiteral("^ ?(\\d+)  /dev/tty\\S+ +(present|absent|no-uart|denied) +\\S"));
        for (int port = 1; port <= 16; ++port) {
            const auto match = line.match(QString::fromLocal8Bit(lines[port - 1]));
            QVERIFY2(match.hasMatch() && match.captured(1).toInt() == port, lines[port - 1]);
        }
        const Run version = runSend({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.out.startsWith("orvane-send 1."));
    }

    void aMissingDeviceIsReported() {
        const QString device = dir.filePath(QStringLiteral("ttyNone"));
        const Run run = runSend({file, QStringLiteral("--device"), device});
        QCOMPARE(run.exitCode, 4);
        QVERIFY2(run.err.contains(QStringLiteral("Cannot open %1: ").arg(device)) &&
                     run.err.contains(QStringLiteral("No such file")),
                 qPrintable(run.err));
    }

    // A device the user may not write to: the message names the group that owns it. As root the
    // program runs as "nobody"; otherwise the device's permissions shut its owner out.
    void aDeviceWithoutPermissionNamesItsGroup() {
        PseudoTerminal pty;
        QVERIFY(pty.isOpen());
        const QByteArray path = pty.slavePath().toLocal8Bit();
        const bool root = geteuid() == 0;
        if (root) {
            const group* dialout = getgrnam("dialout");
            QVERIFY(chown(path.constData(), 0, dialout ? dialout->gr_gid : 20) == 0);
            QVERIFY(chmod(path.constData(), 0660) == 0);
        } else {
            QVERIFY(chmod(path.constData(), 0) == 0);
        }
        struct stat st {};
        QVERIFY(stat(path.constData(), &st) == 0);
        const group* owner = getgrgid(st.st_gid);
        QVERIFY(owner);
        const QString groupName = QString::fromLocal8Bit(owner->gr_name);

        QProcess process;
        if (root)
            process.setChildProcessModifier([] {
                if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(99);
            });
        process.start(QStringLiteral(ORVANE_SEND),
                      {QStringLiteral("-"), QStringLiteral("--device"), pty.slavePath()});
        QVERIFY(process.waitForStarted());
        process.write(patternFile());
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(10000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitCode(), 4);
        for (const QString& part : {QStringLiteral("Cannot open %1: ").arg(pty.slavePath()),
                                    QStringLiteral("belongs to group \"%1\"").arg(groupName),
                                    QStringLiteral("sudo usermod -aG %1 ").arg(groupName)})
            QVERIFY2(err.contains(part), qPrintable(err));
        QCOMPARE(pty.readAvailable(), QByteArray());
    }

    // The line is held stopped, so the program is in the middle of sending when the device goes.
    void aDeviceThatGoesAwayMidwayIsReported() {
        PseudoTerminal pty;
        QVERIFY(pty.isOpen());
        QVERIFY(tcflow(pty.slaveFd(), TCOOFF) == 0);
        QProcess process;
        process.start(QStringLiteral(ORVANE_SEND),
                      {file, QStringLiteral("--device"), pty.slavePath()});
        QVERIFY(process.waitForStarted());
        QVERIFY(!process.waitForFinished(500)); // still sending: the line takes nothing
        pty.closeMaster();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 4);
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("Sending to %1 failed after").arg(pty.slavePath())) &&
                     err.contains(QStringLiteral("Input/output error")),
                 qPrintable(err));
        QVERIFY(!err.contains(QStringLiteral("sent 102")));
    }
};

QTEST_MAIN(TestSend)
#include "tst_send.moc"
