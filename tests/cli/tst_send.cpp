// orvane-send as a separate process: what it prints, saves and sends, its exit codes and messages.

#include "options.h"
#include "porttable.h"
#include "testfiles.h"

#include <QProcess>
#include <QTest>

#include <functional>
#if !defined(Q_OS_WIN)
#include "pty.h"
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace orvane;
using namespace orvane::testing;

namespace {

struct Run {
    int exitCode;
    QByteArray out;
    QString err;
};

// Runs orvane-send to its end; `input` goes to its standard input, `setUp` sees the process first.
Run runSend(const QStringList& arguments, const QByteArray& input = {},
            const std::function<void(QProcess&)>& setUp = {}) {
    QProcess process;
    if (setUp)
        setUp(process);
    process.start(ORVANE_SEND, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        qFatal("orvane-send did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// Column 0 = 0xA1 and column 49 = 0x40.
QByteArray signFile(const QByteArray& speedLine = " 7 ") {
    QList<QByteArray> columns(PatternCols - 1, "BBBBBBBB");
    columns[0] = "RBRBBBBR";
    return patternFile(columns << "BRBBBBBB", speedLine);
}
// Part of the port table that --help shows.
#if defined(Q_OS_WIN)
const char* const PortTableSample = "port n is COMn";
#else
const char* const PortTableSample = "/dev/ttyACM3";
#endif

QByteArray frame(char speed = '7') {
    return "SA1" + QByteArray(96, '0') + "40" + speed;
}

} // namespace

class TestSend : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file;
#if !defined(Q_OS_WIN) // Windows has no pseudo-terminals: nothing is sent there
    PseudoTerminal line;
#endif

private slots:
    void initTestCase() {
#if !defined(Q_OS_WIN)
        QVERIFY(line.isOpen());
#endif
        file = writeFile(dir, "sign.txt", signFile());
    }

    // Exit code, all of standard output, and how standard error begins (bad usage: what it
    // contains, with a pointer to --help).
    void runs_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err");
        const auto row = [](const char* name, const QStringList& arguments, int exitCode,
                            const QByteArray& out, const QString& err = {}) {
            QTest::newRow(name) << arguments << exitCode << out << err;
        };
        const auto usage = [&](const char* name, const QStringList& arguments, const char* says) {
            row(name, arguments, 2, {}, says);
        };
        // "A" is 3 x 3 on the baseline, a space 2 wide, and there is no "B".
        const QString font = writeFile(
            dir, "a.bdf",
            "STARTFONT 2.1\nFONT a\nSIZE 8 75 75\nFONTBOUNDINGBOX 3 8 0 -1\nSTARTPROPERTIES 2\n"
            "FONT_ASCENT 7\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS 2\nSTARTCHAR space\nENCODING 32\n"
            "DWIDTH 2 0\nBBX 1 1 0 0\nBITMAP\n00\nENDCHAR\nSTARTCHAR A\nENCODING 65\nDWIDTH 4 0\n"
            "BBX 3 3 0 0\nBITMAP\nE0\nA0\nE0\nENDCHAR\nENDFONT\n");
        const QString bad = writeFile(dir, "bad.txt", signFile("0"));
        const QString refused = "orvane-send: " + bad + ": line 51: the speed must be";
        const QString saveTo = dir.filePath("no/x.txt");
        const QByteArray dark(100, '0'), dots(49, '.');
        row("frame", {file, "--frame"}, 0, frame()); // no line end: standard output is no terminal
        row("speed", {file, "--frame", "--speed=2"}, 0, frame('2'));
        row("show", {file, "--show"}, 0,
            "#" + dots + "\n" + dots + "#\n#" + dots + "\n" + (dots + ".\n").repeated(4) + "#" +
                dots + "\n");
#if !defined(Q_OS_WIN)
        row("send", {file, "--device", line.slavePath()}, 0, {}); // no progress: no terminal
#endif
        row("save fails", {file, "--save", saveTo}, 4, {},
            "orvane-send: " + saveTo + ": cannot save");
        row("refused", {bad, "--frame"}, 3, {}, refused);
#if !defined(Q_OS_WIN)
        row("refused, device", {bad, "--device", line.slavePath()}, 3, {}, refused);
#else
        row("refused, port", {bad, "--port=16"}, 3, {}, refused);
#endif
        row("no image", {"--image", file, "--frame"}, 3, {}, "orvane-send: " + file + ": ");
        row("no font", {"--text=A", "--font", file, "--frame"}, 3, {},
            "orvane-send: " + file + ": ");
        row("center", {"--text=A A", "--font", font, "--align=center", "--frame"}, 0,
            "S" + dark.left(40) + "0E0A0E0000000E0A0E00" + dark.mid(60) + "5");
        row("right, missing", {"--text=AB", "--font", font, "--align=right", "--frame"}, 0,
            "S" + dark.left(82) + "0E0A0E00FE8282FE005",
            "orvane-send: warning: the font " + font +
                " has no \"B\" (U+0042); it is drawn as a box");
        row("ports", {"--list-ports"}, 0, PortTable::listing().join('\n').toLocal8Bit() + '\n');
        usage("port 0", {file, "--port", "0"}, "from 1 to 16, not \"0\"");
        usage("port 17", {file, "--port=17"}, "from 1 to 16");
        usage("speed 10", {file, "--speed", "10"}, "from 1 to 9");
        usage("both", {file, "--port=2", "--device=/dev/null"}, "not both");
        usage("no source", {"--frame"}, "nothing to send");
        usage("two sources", {file, "--text=A"}, "give one source");
        usage("font alone", {file, "--font", file}, "--font goes with --text");
        usage("invert alone", {file, "--invert"}, "--invert goes with");
        usage("align", {"--text=A", "--align=middle"}, "not \"middle\"");
        usage("threshold", {"--image", file, "--threshold=101"}, "0 to 100");
        usage("scale", {file, "--png=x.png", "--scale=0"}, "1 to 100");
        usage("two files", {file, file}, "only one pattern file");
        usage("unknown", {file, "--fast"}, "Unknown option 'fast'");
        usage("two on stdout", {file, "--frame", "--show"}, "give one");
    }
    void runs() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        const Run run = runSend(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        const bool usage = exitCode == 2 && run.err.contains(err) && run.err.contains("--help");
        QVERIFY2(err.isEmpty() ? run.err.isEmpty() : usage || run.err.startsWith(err),
                 qPrintable(run.err));
    }

    // The line is used when no other output is asked for, or when a port or device is named.
    void sendsOnlyWhenAsked() {
        QString error;
        for (const auto& [arguments, send] : {std::pair{QStringList{}, true},
                                              {{"--save=x"}, false},
                                              {{"--show"}, false},
                                              {{"--frame"}, false},
                                              {{"--png=x"}, false},
                                              {{"--save=x", "--port=2"}, true},
                                              {{"--frame", "--device=x"}, true}})
            QCOMPARE(parseSendOptions(QStringList{"orvane-send", file} + arguments, &error)->send,
                     send);
    }

    // Standard input in, the picture saved and sent, with progress on a terminal; a PNG out
    // and back in as an image.
    void inAndOut() {
#if !defined(Q_OS_WIN) // tests/windows/serial.py sends through Wine's COM ports
        PseudoTerminal sign, terminal;
        const QString saved = dir.filePath("copy.txt");
        const Run run = runSend({"-", "--speed=4", "--save", saved, "--device=" + sign.slavePath()},
                                signFile(" 3 "),
                                [&](QProcess& p) { p.setStandardErrorFile(terminal.slavePath()); });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(saved), signFile(" 4 "));
        QCOMPARE(sign.read(200, 300), frame('4'));
        const QString progress = QString::fromLocal8Bit(terminal.readAvailable());
        const QString done = "\r\033[Ksent 102 characters to " + sign.slavePath() + "\r\n";
        QVERIFY2(progress.contains("column 1 of 50\r") && progress.contains("column 50 of 50\r") &&
                     progress.endsWith(done),
                 qPrintable(progress)); // the terminal turns the last line end into CR LF
#endif
        QCOMPARE(runSend({"-", "--frame"}, signFile(" 3 ")).out, frame('3'));
        const QString png = dir.filePath("sign.png");
        QCOMPARE(runSend({file, "--png", png, "--scale=3"}).exitCode, 0);
        QCOMPARE(runSend({"--image", png, "--frame", "--speed=7"}).out, frame());
        const Run help = runSend({"--help"});
        for (const char* part : {"Usage: orvane-send [OPTION]... FILE", PortTableSample})
            QVERIFY2(help.exitCode == 0 && help.out.contains(part), part);
        QVERIFY(runSend({"--version"}).out.startsWith("orvane-send 1."));
    }

#if defined(Q_OS_WIN)
    void aDeviceWithoutPermissionNamesItsGroup() {
        QSKIP("users, groups and device permissions are Linux's");
    }
#else
    // A device the user may not write to: the message names the group that owns it. As root the
    // program runs as "nobody"; otherwise the device's permissions shut its owner out.
    void aDeviceWithoutPermissionNamesItsGroup() {
        PseudoTerminal pty;
        const QByteArray device = pty.slavePath().toLocal8Bit();
        const char* path = device.constData();
        const bool root = geteuid() == 0;
        const group* dialout = getgrnam("dialout");
        QVERIFY(root ? chown(path, 0, dialout ? dialout->gr_gid : 20) == 0 && chmod(path, 0660) == 0
                     : chmod(path, 0) == 0);
        struct stat st {};
        QVERIFY(stat(path, &st) == 0 && getgrgid(st.st_gid));
        const QString group = QString::fromLocal8Bit(getgrgid(st.st_gid)->gr_name);
        const Run run = runSend({"-", "--device", pty.slavePath()}, signFile(), [&](QProcess& p) {
            if (root)
                p.setChildProcessModifier([] {
                    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                        _exit(99);
                });
        });
        QCOMPARE(run.exitCode, 4);
        for (const QString& part :
             {"Cannot open " + pty.slavePath() + ": ", "belongs to group \"" + group + "\"",
              "sudo usermod -aG " + group + " "})
            QVERIFY2(run.err.contains(part), qPrintable(run.err));
        QCOMPARE(pty.readAvailable(), QByteArray());
    }
#endif
};

QTEST_GUILESS_MAIN(TestSend)
#include "tst_send.moc"
