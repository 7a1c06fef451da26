// orvane-send's command line, in-process with its output in memory; as a process only for
// standard input, progress on a terminal, the decoders' own messages, and a user without access.

#include "command.h"
#include "eventloop.h"
#include "imagemaker.h"
#include "options.h"
#include "pty.h"
#include "ser2net.h"
#include "source.h"
#include "testfiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::testing;

namespace {

struct Run {
    int exitCode;
    QByteArray out;
    QString err;
};

// Standard output or standard error, kept in memory.
struct Stream {
    char* data = nullptr;
    size_t size = 0;
    std::FILE* file = open_memstream(&data, &size);
    ~Stream() { std::fclose(file), std::free(data); }
    QByteArray bytes() { return std::fflush(file), QByteArray(data, qsizetype(size)); }
};

// Runs the command line in this process to its end, in the event loop as main does.
Run send(const QStringList& arguments) {
    Stream out, err;
    const auto run = runCommand(QStringList{"orvane-send"} + arguments, out.file, err.file, false);
    if (!runUntil([&] { return run->isDone(); }))
        qFatal("orvane-send did not finish");
    return {run->exitCode(), out.bytes(), QString::fromLocal8Bit(err.bytes())};
}

// Runs orvane-send as a process with `input` on its standard input; `setUp` sees it first.
Run sendProcess(
    const QStringList& arguments, const QByteArray& input = {},
    const std::function<void(QProcess&)>& setUp = [](QProcess&) {}) {
    QProcess process;
    setUp(process);
    process.start(ORVANE_SEND, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        qFatal("orvane-send did not exit");
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// Column 0 = 0xA1 and column 49 = 0x40.
QByteArray signFile(const QByteArray& speedLine = " 7 ") {
    QList<QByteArray> columns(PatternCols - 1, "BBBBBBBB");
    columns[0] = "RBRBBBBR";
    return patternFile(columns << "BRBBBBBB", speedLine);
}
QByteArray frame(char speed = '7') {
    return "SA1" + QByteArray(96, '0') + "40" + speed;
}
// A font of `ascent` + 1 rows whose only glyph, "A", is 3 x 3 on the baseline.
QByteArray font(int ascent) {
    return QStringLiteral("STARTFONT 2.1\nFONT a\nSIZE 8 75 75\nFONTBOUNDINGBOX 3 3 0 0\n"
                          "STARTPROPERTIES 2\nFONT_ASCENT %1\nFONT_DESCENT 1\nENDPROPERTIES\n"
                          "CHARS 1\nSTARTCHAR A\nENCODING 65\nDWIDTH 4 0\nBBX 3 3 0 0\nBITMAP\n"
                          "E0\nA0\nE0\nENDCHAR\nENDFONT\n")
        .arg(ascent)
        .toLatin1();
}

} // namespace

using namespace Qt::StringLiterals;

class TestSend : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file;
    PseudoTerminal line;

private slots:
    void initTestCase() { file = writeFile(dir, "sign.txt", signFile()); }

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
        const QString font = writeFile(dir, "a.bdf", ::font(7)); // with no U+E000
        const QString bad = writeFile(dir, "bad.txt", signFile("0"));
        const QString saveTo = dir.filePath("no/x.txt");
        const QString nowhere = "socket://127.0.0.1:" + QString::number(Ser2Net::freePort());
        const QByteArray dark(100, '0'), dots(49, '.');
        row("frame", {file, "--frame"}, 0, frame()); // no line end: standard output is no terminal
        row("show", {file, "--show"}, 0,
            "#" + dots + "\n" + dots + "#\n#" + dots + "\n" + (dots + ".\n").repeated(4) + "#" +
                dots + "\n");
        row("save fails", {file, "--save", saveTo}, 4, {}, "orvane-send: " + saveTo + ": cannot");
        row("refused", {bad, "--device", line.slavePath()}, 3, {},
            "orvane-send: " + bad + ": line 51: the speed must be");
        row("no image", {"--image", file, "--frame"}, 3, {}, "orvane-send: " + file + ": ");
        row("no font", {"--text=A", "--font", file, "--frame"}, 3, {}, "orvane-send: " + file);
        row("connection refused", {file, "--device", nowhere}, 4, {},
            "orvane-send: Cannot connect to " + nowhere + ": the connection was refused");
        row("font, right, missing", {"--text=A\uE000", "--font", font, "--align=right", "--frame"},
            0, "S" + dark.left(82) + "0E0A0E00FE8282FE005",
            "orvane-send: warning: the font " + font + " has no U+E000; it is drawn as a box");
        // 한 (U+D55C) as Galmuri7's rows 44 FC 96 64 04 40 7C draw it, in rows 2..8.
        row("bundled font by name, bottom",
            {"--text=\uD55C", "--font=galmuri7", "--valign=bottom", "--frame"}, 0,
            "S306B2931217D1000" + dark.mid(16) + "5");
        usage("port 0", {file, "--port", "0"}, "from 1 to 16, not \"0\"");
        usage("speed 0", {file, "--speed", "0"}, "from 1 to 9, not \"0\"");
        usage("both", {file, "--port=2", "--device=/dev/null"}, "not both");
        usage("unknown link", {file, "--device=telnet://sign:23"}, "not a kind of link");
        usage("no source", {"--frame"}, "nothing to send");
        usage("two sources", {file, "--text=A"}, "give one source");
        usage("font alone", {file, "--font", file}, "--font goes with --text");
        usage("valign", {"--text=A", "--valign=center"}, "top, middle or bottom, not \"center\"");
        usage("two files", {file, file}, "only one pattern file");
        usage("unknown", {file, "--fast"}, "Unknown option 'fast'");
        usage("two on stdout", {file, "--frame", "--show"}, "give one");
    }
    void runs() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        const Run run = send(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        const bool usage = exitCode == 2 && run.err.contains(err) && run.err.contains("--help");
        QVERIFY2(err.isEmpty() ? run.err.isEmpty() : usage || run.err.startsWith(err),
                 qPrintable(run.err));
        QCOMPARE(line.readAvailable(), QByteArray());
    }

    // --list-fonts: the bundled fonts, then the fonts of 8 rows or fewer under the folder.
    void fontsAreListed() {
        QTemporaryDir fonts;
        const QString low = writeFile(fonts, "low.bdf", font(5));
        writeFile(fonts, "tall.bdf", font(8));
        writeFile(fonts, "notes.txt", "6 rows");
        const QStringList bundled{"5x8\t8 rows\tbundled", "galmuri7\t7 rows\tbundled"};
        QCOMPARE(fontListing(fonts.path()), bundled + QStringList{low + "\t6 rows"});
        QVERIFY(send({"--list-fonts"}).out.startsWith(bundled.join('\n').toUtf8() + '\n'));
    }

    // libpng's error and libjpeg's warnings about files cut short come out in orvane-send's form.
    void imageMessagesInItsOwnForm() {
        const QString png = writeFile(dir, "cut.png", pngImage({50, 8}).left(60));
        QCOMPARE(sendProcess({"--image", png, "--frame"}).err,
                 "orvane-send: " + png + ": cannot read the image: libpng error: Read Error\n");
        const QString jpeg = writeFile(dir, "cut.jpg", jpegImage({400, 64}).left(300));
        const Run warned = sendProcess({"--image", jpeg, "--frame"});
        QVERIFY2(warned.exitCode == 0 && !warned.err.isEmpty(), qPrintable(warned.err));
        for (const QString& line : warned.err.split('\n', Qt::SkipEmptyParts))
            QVERIFY2(line.startsWith("orvane-send: warning: " + jpeg + ": Corrupt JPEG data"),
                     qPrintable(line));
    }

    // The line is used when no other output is asked for, or a port or device is named:
    // --device, or else ORVANE_DEVICE. Off a terminal no progress is shown.
    void whichLineIsUsed() {
        PseudoTerminal fromEnvironment, named;
        qputenv("ORVANE_DEVICE", fromEnvironment.slavePath().toLocal8Bit());
        const auto unset = qScopeGuard([] { qunsetenv("ORVANE_DEVICE"); });
        const Run run = send({file});
        QVERIFY(run.exitCode == 0 && run.out.isEmpty() && run.err.isEmpty());
        QCOMPARE(fromEnvironment.read(200, 300), frame());
        for (const QString& other : {QString("--show"), "--save=" + dir.filePath("x.txt")})
            QCOMPARE(send({file, other}).exitCode, 0);
        QCOMPARE(send({file, "--frame", "--device", named.slavePath()}).out, frame());
        QCOMPARE(named.read(200, 300), frame());
        QString error;
        const auto port = parseSendOptions({"orvane-send", file, "--save=x", "--port=2"}, &error);
        QVERIFY(port && port->send && port->device.isEmpty() && port->port == 2);
        QCOMPARE(fromEnvironment.readAvailable(), QByteArray());
    }

    // Standard input in, the picture saved and sent with progress on a terminal; --help; a PNG
    // out and back in as an image.
    void inAndOut() {
        PseudoTerminal sign, terminal;
        const QString saved = dir.filePath("copy.txt");
        const Run run = sendProcess(
            {"-", "--speed=4", "--save", saved, "--device=" + sign.slavePath()}, signFile(" 3 "),
            [&](QProcess& p) { p.setStandardErrorFile(terminal.slavePath()); });
        QVERIFY(run.exitCode == 0 && readFile(saved) == signFile(" 4 "));
        QCOMPARE(sign.read(200, 300), frame('4'));
        const QString progress = QString::fromLocal8Bit(terminal.readAvailable());
        QVERIFY2(progress.contains("column 1 of 50\r") && progress.contains("column 50 of 50\r") &&
                     progress.endsWith("\r\033[Ksent 102 characters to " + sign.slavePath() +
                                       "\r\n"), // the terminal makes the line end CR LF
                 qPrintable(progress));
        const Run help = sendProcess({"--help"});
        QVERIFY(help.exitCode == 0 && help.out.startsWith("Usage: orvane-send [OPTION]... FILE"));
        const QString png = dir.filePath("sign.png");
        QCOMPARE(send({file, "--png", png, "--scale=3"}).exitCode, 0);
        QCOMPARE(send({"--image", png, "--frame", "--speed=7"}).out, frame());
    }

    // Under a Korean locale: help and messages in Korean (Qt's own lines too), the same exit
    // codes, and the same bytes on standard output.
    void inKorean_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        const QString bad = writeFile(dir, "bad.txt", signFile("0"));
        QTest::newRow("help") << QStringList{"--help"} << 0
                              << u"사용법: orvane-send [옵션]... 파일\n"_s;
        QTest::newRow("refused")
            << QStringList{bad, "--frame"} << 3
            << "orvane-send: " + bad +
                   u": 51번 줄: 속도는 \"0\"이(가) 아니라 1부터 9까지의 숫자여야 합니다\n"_s;
        QTest::newRow("bad usage")
            << QStringList{file, "--port", "0"} << 2
            << u"orvane-send: --port은(는) \"0\"이(가) 아니라 1부터 16까지의 숫자여야 합니다\n"
               u"\"orvane-send --help\"로 도움말을 보십시오.\n"_s;
        QTest::newRow("Qt's own") << QStringList{file, "--fast"} << 2
                                  << u"orvane-send: 알 수 없는 옵션 'fast'.\n"_s;
        QTest::newRow("frame and warning")
            << QStringList{u"--text=OPEN 한\uE000"_s, "--frame"} << 0
            << u"orvane-send: 경고: 5x8 글꼴에 U+E000이(가) 없어 상자로 그립니다\n"_s;
    }
    void inKorean() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const auto locale = [](const char* lang) {
            return [lang](QProcess& p) {
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
                    env.remove(name);
                env.insert("LANG", lang);
                p.setProcessEnvironment(env);
            };
        };
        const Run korean = sendProcess(arguments, {}, locale("ko_KR.UTF-8"));
        const Run english = sendProcess(arguments, {}, locale("C.UTF-8"));
        QCOMPARE(korean.exitCode, exitCode);
        QCOMPARE(english.exitCode, exitCode);
        const bool onError = says.startsWith("orvane-send: "_L1);
        if (onError)
            QCOMPARE(korean.out, english.out);
        const QString shown = onError ? korean.err : QString::fromUtf8(korean.out);
        QVERIFY2(shown.startsWith(says), qPrintable(shown));
        QVERIFY2(english.err.isEmpty() || !english.err.contains(QRegularExpression(u"[가-힣]"_s)),
                 qPrintable(english.err));
    }

    // A device the user may not write to: the message names the group that owns it. As root the
    // program runs as "nobody", outside the group; otherwise the device's permissions shut it out.
    void aDeviceWithoutPermissionNamesItsGroup() {
        const QByteArray device = line.slavePath().toLocal8Bit();
        const bool root = geteuid() == 0;
        QVERIFY(chmod(device, root ? 0660 : 0) == 0);
        struct stat st {};
        QVERIFY(stat(device, &st) == 0 && getgrgid(st.st_gid));
        const QString group = QString::fromLocal8Bit(getgrgid(st.st_gid)->gr_name);
        const Run run = sendProcess({"-", "--device", line.slavePath()}, signFile(), [&](auto& p) {
            if (root)
                p.setChildProcessModifier([] {
                    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                        _exit(99);
                });
        });
        QVERIFY2(run.exitCode == 4 &&
                     run.err.startsWith("orvane-send: Cannot open " + line.slavePath() + ": ") &&
                     run.err.contains("sudo usermod -aG " + group + ' '),
                 qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestSend)
#include "tst_send.moc"
