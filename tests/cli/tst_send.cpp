// orvane-send's command line, in-process with its output in memory; as a process only for
// standard input, progress on a terminal, the decoders' own messages, and a user without access.

#include "command.h"
#include "eventloop.h"
#include "imagemaker.h"
#include "options.h"
#include "porttable.h"
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
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// Runs the command line in this process to its end, in the event loop as main does; `progress`
// as when standard error is a terminal.
Run send(const QStringList& arguments, bool progress = false) {
    Stream out, err;
    const auto run =
        runCommand(QStringList{"orvane-send"} + arguments, out.file, err.file, progress);
    if (!runUntil([&] { return run->isDone(); }))
        qFatal("orvane-send did not finish");
    return {run->exitCode(), out.bytes(), QString::fromLocal8Bit(err.bytes())};
}

// Runs orvane-send as a process with `input` on its standard input; `setUp` sees it first. One
// that has not ended within 30 s is killed, and says so.
Run sendProcess(
    const QStringList& arguments, const QByteArray& input = {},
    const std::function<void(QProcess&)>& setUp = [](QProcess&) {},
    const QString& program = ORVANE_SEND) {
    QProcess process;
    setUp(process);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return {-1, {}, "orvane-send did not end"};
    }
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// Runs orvane-send as a process in mount and user namespaces of its own (root in them), after the
// shell commands `setUp`.
Run sendIsolated(const QString& setUp, const QStringList& arguments) {
    return sendProcess(
        QStringList{"-rm", "sh", "-ec", setUp + "\nexec \"$0\" \"$@\"", ORVANE_SEND} + arguments,
        {}, [](QProcess&) {}, "unshare");
}
// A private, empty /run/lock (and /var/lock) for sendIsolated(), a scratch folder too.
const QString PrivateLockFolder =
    "mount -t tmpfs lock /run/lock\n[ -L /var/lock ] || mount -t tmpfs lock /var/lock\n";

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
const auto font = [](int ascent) { return bdfFont({"65 4 3 0 E0 A0 E0"}, ascent); };

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
        usage("no sign's name", {file, "--sign=a/b"}, "--sign needs a sign's name, not \"a/b\"");
        usage("unknown link", {file, "--device=telnet://sign:23"}, "not a kind of link");
        usage("no source", {"--frame"}, "nothing to send");
        usage("two sources", {file, "--text=A"}, "give one source");
        usage("font alone", {file, "--font", file}, "--font goes with --text");
        usage("valign", {"--text=A", "--valign=center"}, "top, middle or bottom, not \"center\"");
        usage("two files", {file, file}, "only one pattern file");
        usage("unknown", {file, "--fast"}, "Unknown option 'fast'");
        usage("two on stdout", {file, "--frame", "--show"}, "give one");
        usage("user and password", {file, "--device=socket://user:pw@sign:1"},
              "a link takes no user name or password");
        // Two outputs into one file: by one name, through a symbolic link, by another name.
        const QString once = dir.filePath("once.png"), hard = writeFile(dir, "hard.txt", "old");
        QVERIFY(symlink("once.png", QFile::encodeName(dir.filePath("link.png"))) == 0 &&
                link(QFile::encodeName(hard), QFile::encodeName(dir.filePath("hard.png"))) == 0);
        usage("save and png", {file, "--save", once, "--png", once},
              qPrintable("--save and --png both write to " + once));
        usage("through a link", {file, "--save", once, "--png", dir.filePath("link.png")},
              qPrintable("--save and --png both write to " + dir.filePath("link.png")));
        usage("hard link", {file, "--save", hard, "--png", dir.filePath("hard.png")},
              qPrintable("--save and --png both write to " + dir.filePath("hard.png")));
        row("60,000 columns", {"--text=" + QString(12000, ' '), "--frame"}, 0, "S" + dark + "5",
            "orvane-send: warning: the text is more than 4096 columns wide; only its first 50 "
            "are shown");
    }
    void runs() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        const Run run = send(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        QVERIFY(!QFile::exists(dir.filePath("once.png")) &&
                readFile(dir.filePath("hard.txt")) == "old");
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
        const auto port = parseSendOptions({"orvane-send", file, "--save=x", "--port=16"});
        QVERIFY2(port && port->send && port->links.size() == 1 && port->links[0].port == 16 &&
                     port->links[0].device.isEmpty(),
                 qPrintable(port.error()));
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
        QVERIFY(help.out.contains("Without --frame, --show, --save or --png the picture goes to "
                                  "the sign; with\none or more of them"));
        const QString png = dir.filePath("sign.png");
        QCOMPARE(send({file, "--png", png, "--scale=3"}).exitCode, 0);
        QCOMPARE(send({"--image", png, "--frame", "--speed=7"}).out, frame());
        QCOMPARE(send({"--image", png, "--frame"}).out, frame('5')); // an image's speed is 5
    }

    // --port and --device mixed, pseudo-terminals and ser2net (raw and RFC 2217) at once, each
    // receiving exactly the frame; a device named twice (by its port number and its path) is
    // sent to once. Dead links among them (a refused server, a hung-up line) are named as they
    // end and again at the end, and the exit code is the port failure's.
    void manyDevicesAtOnce() {
        PseudoTerminal direct, numbered, raw, telnet, hungUp;
        hungUp.closeMaster();
        const Ser2Net rawServer(raw.slavePath(), false), telnetServer(telnet.slavePath(), true);
        QVERIFY2(rawServer.error().isEmpty(), qPrintable(rawServer.error()));
        QVERIFY2(telnetServer.error().isEmpty(), qPrintable(telnetServer.error()));
        const PortTable::ScopedDeviceResolver ports([&](int) { return numbered.slavePath(); });
        const QString nowhere = "socket://127.0.0.1:" + QString::number(Ser2Net::freePort());
        const Run run = send({file, "--device", direct.slavePath(), "--port=3", "--device", nowhere,
                              "--device", rawServer.url(), "--device=" + telnetServer.url(),
                              "--device", hungUp.slavePath(), "--device", numbered.slavePath()});
        QCOMPARE(run.exitCode, 4);
        for (PseudoTerminal* line : {&direct, &numbered, &raw, &telnet})
            QCOMPARE(line->read(300, 300), frame());
        QStringList lines = run.err.split('\n', Qt::SkipEmptyParts); // each result a line
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines.takeLast(),
                 "orvane-send: 2 of 6 devices failed: %1, %2"_L1.arg(hungUp.slavePath(), nowhere));
        lines.sort();
        const QString opened = "orvane-send: Cannot open " + hungUp.slavePath() + ": ";
        QVERIFY2(lines[2].startsWith(opened), qPrintable(lines[2]));
        const QString sent = ": sent 102 characters";
        const QString refused =
            "Cannot connect to %1: the connection was refused: nothing takes "
            "connections on port %2 of 127.0.0.1"_L1.arg(nowhere, nowhere.section(':', -1));
        QCOMPARE(lines, QStringList({"orvane-send: " + direct.slavePath() + sent,
                                     "orvane-send: " + refused, lines[2],
                                     "orvane-send: port 3 (" + numbered.slavePath() + ")" + sent,
                                     "orvane-send: " + telnetServer.url() + sent,
                                     "orvane-send: " + rawServer.url() + sent}));
    }

    // On a terminal, the progress line counts the devices that have ended, and each result is
    // written over it on a line of its own.
    void progressOfMany() {
        PseudoTerminal a, b;
        const Run run = send({file, "--device", a.slavePath(), "--device", b.slavePath()}, true);
        QCOMPARE(run.exitCode, 0);
        const QString erase = "\r\033[K";
        QStringList results{"orvane-send: " + a.slavePath() + ": sent 102 characters\n",
                            "orvane-send: " + b.slavePath() + ": sent 102 characters\n"};
        if (!run.err.startsWith(erase + "sending to 2 devices: 0 ended" + erase + results[0]))
            results.swapItemsAt(0, 1);
        QCOMPARE(run.err, erase + "sending to 2 devices: 0 ended" + erase + results[0] + erase +
                              "sending to 2 devices: 1 ended" + erase + results[1]);
    }

    // More devices than the descriptors allow at once (orvane-send as a process with a low limit):
    // they are sent to in turn, and every one receives exactly the frame.
    void moreDevicesThanDescriptors() {
        std::vector<std::unique_ptr<PseudoTerminal>> lines(20);
        QStringList arguments{"-"};
        for (auto& line : lines)
            arguments << "--device" << (line = std::make_unique<PseudoTerminal>())->slavePath();
        const Run run = sendProcess(arguments, signFile(), [](QProcess& p) {
            p.setChildProcessModifier([] {
                const rlimit low{48, 48};
                if (setrlimit(RLIMIT_NOFILE, &low) != 0)
                    _exit(99);
            });
        });
        QVERIFY2(run.exitCode == 0 && run.err.count(": sent 102 characters\n") == 20,
                 qPrintable(run.err));
        for (auto& line : lines)
            QCOMPARE(line->read(300, 300), frame());
    }

    // Signs by name from the file ORVANE_SIGNS names: a group and a sign named twice, and two
    // signs that are one device (a symbolic link), each sent to once; --list-signs; an unknown
    // name and a refused file.
    void namedSigns() {
        PseudoTerminal lobby, door;
        const Ser2Net server(door.slavePath(), false);
        QVERIFY2(server.error().isEmpty(), qPrintable(server.error()));
        const QString link = dir.filePath("lobby-link");
        QVERIFY(QFile::link(lobby.slavePath(), link));
        const QString signs =
            writeFile(dir, "signs.conf",
                      QString("lobby = %1\nalso = %2\ndoor = %3 # ser2net\nfloor = lobby, door\n"
                              "all = floor, also\ngone = /nonexistent/ttyUSB9\ndesk = port 3\n")
                          .arg(lobby.slavePath(), link, server.url())
                          .toUtf8());
        qputenv("ORVANE_SIGNS", signs.toLocal8Bit());
        const auto unset = qScopeGuard([] { qunsetenv("ORVANE_SIGNS"); });

        const Run run = send({file, "--sign=all", "--sign", "lobby"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(lobby.read(300, 300), frame());
        QCOMPARE(door.read(300, 300), frame());
        QCOMPARE(run.err,
                 "orvane-send: warning: the signs lobby and also are one device, %1; it is "
                 "sent to once\norvane-send: lobby: sent 102 characters\n"
                 "orvane-send: door: sent 102 characters\n"_L1.arg(lobby.slavePath()));

        const PortTable::ScopedDeviceResolver ports([&](int) { return lobby.slavePath(); });
        QCOMPARE(send({"--list-signs"}).out,
                 "lobby  %1  present\nalso   %2  present\ndoor   %3\nfloor  group: lobby, door\n"
                 "all    group: floor, also\ngone   /nonexistent/ttyUSB9  absent\n"
                 "desk   port 3 (%1)  present\n"_L1.arg(lobby.slavePath(), link, server.url())
                     .toUtf8());
        const Run unknown = send({file, "--sign=hall"});
        QCOMPARE(unknown.exitCode, 2);
        QCOMPARE(unknown.err, "orvane-send: " + signs +
                                  ": no sign is named \"hall\"; the names are: lobby, also, "
                                  "door, floor, all, gone, desk\n");
        const QString bad = writeFile(dir, "bad.conf", "a = /dev/x\na = port 2\n");
        qputenv("ORVANE_SIGNS", bad.toLocal8Bit());
        for (const QStringList& arguments : {QStringList{file, "--sign=a"}, {"--list-signs"}}) {
            const Run refused = send(arguments);
            QCOMPARE(refused.exitCode, 3);
            QCOMPARE(refused.err,
                     "orvane-send: " + bad + ": line 2: \"a\" is named on line 1 already\n");
        }
        QCOMPARE(lobby.readAvailable(), QByteArray());
    }

    // A folder on standard input is named as such; standard output into the file that --save
    // names is refused before either is written.
    void standardInputAndOutput() {
        const Run folder = sendProcess({"-", "--frame"}, {},
                                       [&](QProcess& p) { p.setStandardInputFile(dir.path()); });
        QCOMPARE(folder.err, "orvane-send: standard input: cannot read: Is a directory\n");
        const QString out = writeFile(dir, "out.txt", "old");
        const Run run = sendProcess({file, "--show", "--save", out}, {}, [&](QProcess& p) {
            p.setStandardOutputFile(out, QIODevice::Append);
        });
        QVERIFY2(run.exitCode == 2 && run.err.startsWith("orvane-send: standard output and --save "
                                                         "both write to " +
                                                         out),
                 qPrintable(run.err));
        QCOMPARE(readFile(out), "old");
    }

    // What another user may plant in the lock folder where a lock file goes is refused by name,
    // at once: a FIFO (which would hold an open for good), a link, a file far too big to be a
    // lock file. Ours is named by the device number, QSerialPort's LCK..NAME by the path.
    void plantedLockFiles_data() {
        QTest::addColumn<QString>("plant"); // shell commands in the lock folder; @ the file
        QTest::addColumn<bool>("ours");
        QTest::addColumn<QString>("is");
        QTest::newRow("FIFO as ours") << "mkfifo @" << true << "a FIFO (named pipe)";
        QTest::newRow("FIFO as Qt's") << "mkfifo @" << false << "a FIFO (named pipe)";
        QTest::newRow("link to a FIFO") << "mkfifo p; ln -s p @" << false << "a symbolic link";
        QTest::newRow("link as ours") << "ln -s /dev/null @" << true << "a symbolic link";
        QTest::newRow("folder") << "mkdir @" << false << "a folder";
        // QLockFile reads FILE.rmlock before it removes a stale FILE (of a process long gone).
        QTest::newRow("FIFO beside a stale one")
            << "printf '999999\\norvane-send\\n%s\\n' $(hostname) > @\ntouch -d 2020-01-01 @\n"
               "mkfifo @.rmlock"
            << false << "a FIFO (named pipe)";
        QTest::newRow("sparse 1 GiB") << "truncate -s 1G @" << false
                                      << "1073741824 bytes long, far more than a lock file holds";
    }
    void plantedLockFiles() {
        QFETCH(QString, plant);
        QFETCH(bool, ours);
        QFETCH(QString, is);
        if (QProcess::execute("unshare", {"-rm", "true"}) != 0)
            QSKIP("no user and mount namespaces here (unshare -rm)");
        struct stat st {};
        QVERIFY(stat(line.slavePath().toLocal8Bit(), &st) == 0);
        const QString lockFile =
            ours ? QString("/run/lock/orvane-tty-%1-%2.lock")
                       .arg(major(st.st_rdev))
                       .arg(minor(st.st_rdev))
                 : "/var/lock/LCK.." + line.slavePath().mid(5).replace('/', '_');
        const QString named = plant.contains("@.rmlock") ? lockFile + ".rmlock" : lockFile;
        const Run run =
            sendIsolated(PrivateLockFolder + "cd /run/lock\n" + plant.replace('@', lockFile),
                         {file, "--device", line.slavePath()});
        QCOMPARE(run.err, "orvane-send: Cannot open " + line.slavePath() + ": its lock file " +
                              named + " is " + is +
                              ", so it is not opened and nothing is sent; someone may have put "
                              "it there to block this program. Remove it, then try again.\n");
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(line.readAvailable(), QByteArray());
    }

    // Names looked up in an /etc/hosts of its own: a name server that never answers (a FIFO nobody
    // writes to) fails the link after its 5 s, whatever the lookup still waits for; a proxy named
    // in the environment is not used, the sign's server is reached directly by its name.
    void lookups_data() {
        QTest::addColumn<QString>("hosts"); // the shell command that makes /run/lock/hosts
        QTest::addColumn<QString>("err");   // "@" the link
        QTest::newRow("no answer")
            << "mkfifo /run/lock/hosts"
            << "orvane-send: Cannot connect to @: the name sign could not be "
               "resolved within 5 s: the name service did not answer\n";
        QTest::newRow("no proxy") << "echo '127.0.0.1 sign' > /run/lock/hosts"
                                  << "";
    }
    void lookups() {
        QFETCH(QString, hosts);
        QFETCH(QString, err);
        if (QProcess::execute("unshare", {"-rm", "true"}) != 0)
            QSKIP("no user and mount namespaces here (unshare -rm)");
        Ser2Net server(line.slavePath(), false);
        QVERIFY2(server.error().isEmpty(), qPrintable(server.error()));
        qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(Ser2Net::freePort()));
        const auto unset = qScopeGuard([] { qunsetenv("http_proxy"); });
        const QString url = server.url().replace("127.0.0.1", "sign");
        const Run run =
            sendIsolated(PrivateLockFolder + hosts + "\nmount --bind /run/lock/hosts /etc/hosts",
                         {file, "--device", url});
        QCOMPARE(run.err, err.replace('@', url));
        QCOMPARE(run.exitCode, err.isEmpty() ? 0 : 4);
        QCOMPARE(line.read(200, 300), err.isEmpty() ? frame() : QByteArray());
    }

    // Under a Korean locale: help and messages in Korean (Qt's own lines too), the same exit
    // codes, and the same bytes on standard output.
    void inKorean_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        const QString bad = writeFile(dir, "bad.txt", signFile("0"));
        QTest::newRow("help")
            << QStringList{"--help"} << 0
            << u"사용법: orvane-send [옵션]... 파일\n"
               u"        orvane-send --list-ports\n"
               u"        orvane-send --list-fonts\n"
               u"        orvane-send --list-signs\n"
               u"\n"
               u"그림과 속도를 전광판에 보냅니다. 편집기의 \"Down Load\"와 똑같이\n"_s;
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
