// The pattern file reader and writer, on real files in a temporary folder.

#include "patternfile.h"
#include "testfiles.h"

#include <QDir>
#include <QTest>

#if !defined(Q_OS_WIN)
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace orvane;
using namespace orvane::testing;

// A file with column 0 lit at the top, the given speed line, and its line ends replaced.
static QByteArray file(const QByteArray& speedLine, const QByteArray& end = "\r\n") {
    return patternFile({"RBBBBBBB"}, speedLine).replace("\r\n", end);
}

class TestPatternFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // Every byte but CR and LF is read, saved and loaded as it stands, one line per column; a
    // short line stays short and a long one loses its tail.
    void bytesStayAsTheyStand() {
        QByteArray bytes;
        for (int i = 0; i < 400; ++i)
            bytes += QByteArray(1, i % 256 == '\r' || i % 256 == '\n' ? 'Z' : char(i)) +
                     (i % 8 == 7 ? "\r\n" : "");
        const Result<PictureAndSpeed> read = PatternFile::read(bytes + " 7 \r\n\r\n");
        const QString path = dir.filePath("all-bytes.txt");
        QString error;
        QVERIFY2(PatternFile::save(path, read.picture, *Speed::of(7), &error), qPrintable(error));
        QCOMPARE(readFile(path), bytes + " 7 \r\n\r\n");
        QVERIFY(PatternFile::load(path).picture == read.picture);
        const DotPattern p = PatternFile::read(patternFile({"rXRB5", "B", "RRRRRRRRBBBB"})).picture;
        QCOMPARE((QStringList{p.text(1, 0), p.text(2, 0), p.text(5, 0), p.text(6, 0), p.text(8, 0),
                              p.text(1, 1), p.text(2, 1), p.text(8, 2)}),
                 (QStringList{"r", "X", "5", "", "", "B", "", "R"}));
        QVERIFY(
            PatternFile::write(p, Speed()).startsWith("rXRB5\r\nB\r\nRRRRRRRR\r\nBBBBBBBB\r\n"));
    }

    // Files as they are read: with any line end, a speed line in any form and as many lines as
    // needed; what is no pattern file is refused with its name, at once and after a bounded read.
    void loads_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("speed"); // 0: refused
        QTest::addColumn<QString>("says");
        const auto at = [](const char* name, const QString& path, int speed, const QString& says) {
            QTest::newRow(name) << path << speed << says;
        };
        const auto row = [&](const char* name, const QByteArray& bytes, int speed,
                             const QString& says = {}) {
            at(name, writeFile(dir, QString::fromLatin1(name) + ".txt", bytes), speed, says);
        };
        const auto notSpeed = [](const char* text) {
            return QStringLiteral("line 51: the speed must be a number from 1 to 9, not \"%1\"")
                .arg(QLatin1String(text));
        };
        row("LF", file(" 3 ", "\n"), 3);
        row("CR", file(" 3 ", "\r"), 3);
        row("bare", file("5"), 5);
        row("blanks and tab", file(" \t9 "), 9);
        row("leading zero", file("01"), 1);
        row("no empty line", file(" 4").chopped(4), 4);
        row("more lines", file(" 6 ") + QByteArray("junk\r\n").repeated(9), 6);
        row("long tail", file(" 2 ") + QByteArray(4 << 20, 'x'), 2);
        row("zero", file("0"), 0, notSpeed("0"));
        row("ten", file("10"), 0, notSpeed("10"));
        row("huge", file("99999999999999999999"), 0, notSpeed("99999999999999999999"));
        row("binary", file("\x1b]0;x\x07\xff\\"), 0, notSpeed(R"(\x1b]0;x\x07\xff\x5c)"));
        row("blanks", file(" \t "), 0,
            "line 51: the speed line is empty; it must hold a number from 1 to 9");
        row("50 lines", file(" 5 ").left(500), 0,
            "the file has 50 lines, but a pattern file needs 50 picture lines and a speed line");
        row("one huge line", QByteArray(8 << 20, 'R'), 0,
            "line 1: the line is longer than 4096 characters; this is not a pattern file");
        const QString device = "it is a device or a pipe, not a file";
        const QString fifo = makeNamedPipe(dir, "pipe");
        QVERIFY(!fifo.isEmpty());
        at("pipe", fifo, 0, device);
#if !defined(Q_OS_WIN)
        at("endless", "/dev/zero", 0, device);
#endif
        at("folder", dir.path(), 0, "it is a folder, not a file");
        at("missing", dir.filePath("no-such.txt"), 0,
           "cannot open the file: " + missingFileReason());
    }
    void loads() {
        QFETCH(QString, path);
        QFETCH(int, speed);
        QFETCH(QString, says);
        const Result<PictureAndSpeed> read = PatternFile::load(path);
        const DotPattern& p = read.picture;
        QCOMPARE((read.ok ? QStringList{QString::number(read.speed.value()), p.text(1, 0),
                                        p.text(2, 0), p.text(8, 49)}
                          : QStringList{read.error()}),
                 (speed ? QStringList{QString::number(speed), "R", "B", "B"}
                        : QStringList{path + ": " + says}));
    }

    // The speed line's forms, as --speed also takes them; nothing else is a speed: no sign, no
    // inner blank, no digit but 0..9, no fifth digit.
    void speedTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("speed"); // 0: refused
        const std::pair<const char*, int> rows[] = {
            {" 1", 1}, {"9\t", 9}, {"0009", 9}, {"00009", 0},  {"+5", 0},
            {"-1", 0}, {"5 6", 0}, {"0x5", 0},  {"\u0665", 0}, {"", 0},
        };
        for (const auto& [text, speed] : rows)
            QTest::newRow(qPrintable(u'"' + QString::fromUtf8(text) + u'"'))
                << QString::fromUtf8(text) << speed;
    }
    void speedTexts() {
        QFETCH(QString, text);
        QFETCH(int, speed);
        const std::optional<Speed> read = Speed::fromText(text);
        QCOMPARE(read ? read->value() : 0, speed);
    }

    // Only 1..9 makes a speed; a step stops at either end; the frame's character is its digit.
    void speedSteps() {
        QVERIFY(!Speed::of(0) && !Speed::of(10) && !Speed::of(-9));
        QCOMPARE(Speed().value(), StartSpeed);
        QCOMPARE(Speed().up().up().up().up().up().value(), 9);
        QCOMPARE(Speed().down().down().down().down().down().value(), 1);
        for (int n = MinSpeed; n <= MaxSpeed; ++n)
            QCOMPARE(Speed::of(n)->character(), char('0' + n));
    }

    // A save replaces the whole file or leaves it as it was; a full disk is played by a file-size
    // limit in a child process.
    void saveReplacesWholeOrNotAtAll() {
        const QString path = writeFile(dir, "old.txt", QByteArray(2000, 'o'));
        QString error;
        QVERIFY(PatternFile::save(path, DotPattern(), Speed(), &error));
        QCOMPARE(readFile(path), patternFile());
        for (const QString& bad : {dir.filePath("nowhere/x.txt"), path + "/x.txt"}) {
            QVERIFY(!PatternFile::save(bad, DotPattern(), Speed(), &error) && !QFile::exists(bad));
            QVERIFY2(error.startsWith(bad + ": cannot save"), qPrintable(error));
        }
#if !defined(Q_OS_WIN) // Windows has neither fork() nor file-size limits
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100, 100};
            setrlimit(RLIMIT_FSIZE, &limit);
            _exit(PatternFile::save(path, DotPattern(), *Speed::of(9), &error) ? 0
                  : error.contains(path)                                       ? 3
                                                                               : 4);
        }
        int status = 0;
        QVERIFY(child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 3);
        QCOMPARE(readFile(path), patternFile());
#endif
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("old"),
                 QStringList{"old.txt"});
    }
};

QTEST_GUILESS_MAIN(TestPatternFile)
#include "tst_patternfile.moc"
