// The pattern file reader and writer, on real files in a temporary folder.

#include "patternfile.h"
#include "testfiles.h"

#include <QDir>
#include <QTest>

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
    // Every byte but CR and LF as it stands; a short line stays short, a long one loses its tail.
    void bytesStayAsTheyStand() {
        QByteArray bytes;
        for (int i = 0; i < 400; ++i)
            bytes += QByteArray(1, i % 256 == '\r' || i % 256 == '\n' ? 'Z' : char(i)) +
                     (i % 8 == 7 ? "\r\n" : "");
        const Result<PictureAndSpeed> read = PatternFile::read(bytes + " 7 \r\n\r\n");
        const QString path = dir.filePath("all-bytes.txt");
        const Result<void> saved = PatternFile::save(path, read->picture, *Speed::of(7));
        QVERIFY2(saved, qPrintable(saved.error()));
        QCOMPARE(readFile(path), bytes + " 7 \r\n\r\n");
        QVERIFY(PatternFile::load(path)->picture == read->picture);
        const DotPattern p =
            PatternFile::read(patternFile({"rXRB5", "B", "RRRRRRRRBBBB"}))->picture;
        QVERIFY(
            PatternFile::write(p, Speed()).startsWith("rXRB5\r\nB\r\nRRRRRRRR\r\nBBBBBBBB\r\n"));
    }

    void loads_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("speed"); // 0: refused
        QTest::addColumn<QString>("says");
        const auto row = [&](const char* name, const QByteArray& bytes, int speed,
                             const QString& says = {}) {
            QTest::newRow(name) << writeFile(dir, QString::fromLatin1(name), bytes) << speed
                                << says;
        };
        row("LF", file(" 3 ", "\n"), 3);
        row("CR", file(" \t9 ", "\r"), 9);
        row("no empty line", file(" 4").chopped(4), 4);
        row("more lines", file(" 6 ") + "junk\r\n" + QByteArray(4 << 20, 'x'), 6);
        const QString notSpeed = "line 51: the speed must be a number from 1 to 9, not \"";
        row("zero", file("0"), 0, notSpeed + "0\"");
        row("binary", file("\x1b]0;x\x07\xff\\"), 0, notSpeed + "\\x1b]0;x\\x07\\xff\\x5c\"");
        row("blanks", file(" \t "), 0, "line 51: the speed line is empty");
        row("50 lines", file(" 5 ").left(500), 0,
            "the file has 50 lines, but a pattern file needs");
        row("1 line", "RRRRRRRR", 0, "the file has 1 line, but");
        row("empty", "", 0, "the file is empty, but");
        row("one huge line", QByteArray(8 << 20, 'R'), 0, "line 1: the line is longer than 4096");
        QTest::newRow("pipe") << makeNamedPipe(dir, "pipe") << 0 << "it is a device or a pipe";
        QTest::newRow("folder") << dir.path() << 0 << "it is a folder, not a file";
        QTest::newRow("missing") << dir.filePath("no-such.txt") << 0
                                 << "cannot open the file: " + missingFileReason();
    }
    void loads() {
        QFETCH(QString, path);
        QFETCH(int, speed);
        QFETCH(QString, says);
        const Result<PictureAndSpeed> read = PatternFile::load(path);
        QCOMPARE((read ? QStringList{QString::number(read->speed.value()), read->picture.text(1, 0),
                                     read->picture.text(2, 0), read->picture.text(8, 49)}
                       : QStringList{read.error().left(path.size() + 2 + says.size())}),
                 (speed ? QStringList{QString::number(speed), "R", "B", "B"}
                        : QStringList{path + ": " + says}));
    }

    // The speed line's forms, as --speed also takes them.
    void speeds() {
        QList<int> read;
        for (const char* text : {" 1", "9\t", "0009", "00009", "+5", "\u0665", "", "0", "10"}) {
            const std::optional<Speed> speed = Speed::fromText(QString::fromUtf8(text));
            read << (speed ? speed->value() : -1);
        }
        QCOMPARE(read, QList<int>({1, 9, 9, -1, -1, -1, -1, -1, -1}));
        QCOMPARE(Speed().up().up().up().up().up().value(), 9);
        QCOMPARE(Speed().down().down().down().down().down().value(), 1);
        QCOMPARE(QByteArray() + Speed::of(1)->character() + Speed::of(9)->character(), "19");
    }

    // A full disk is played by a file-size limit in a child process.
    void saveReplacesWholeOrNotAtAll() {
        const QString path = writeFile(dir, "old.txt", QByteArray(2000, 'o'));
        QVERIFY(PatternFile::save(path, DotPattern(), Speed()));
        QCOMPARE(readFile(path), patternFile());
        const QString bad = dir.filePath("nowhere/x.txt");
        const QString error = PatternFile::save(bad, DotPattern(), Speed()).error();
        QVERIFY2(error.startsWith(bad + ": cannot save") && !QFile::exists(bad), qPrintable(error));
#if !defined(Q_OS_WIN) // Windows has neither fork() nor file-size limits
        // 3: refused with a message naming the file.
        const auto saveAt9 = [&] {
            const Result<void> saved = PatternFile::save(path, DotPattern(), *Speed::of(9));
            return saved ? 0 : 3 + !saved.error().contains(path);
        };
        QCOMPARE(withFileSizeLimit(100, saveAt9), 3);
        QCOMPARE(readFile(path), patternFile());
#endif
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("old"),
                 QStringList{"old.txt"});
    }
};

QTEST_GUILESS_MAIN(TestPatternFile)
#include "tst_patternfile.moc"
