// The pattern file reader and writer, on real files in a temporary folder.

#include "patternfile.h"
#include "pty.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvane;

namespace {

QByteArray clearedFile() {
    QByteArray bytes;
    for (int i = 0; i < 50; ++i)
        bytes += "BBBBBBBB\r\n";
    return bytes + " 5 \r\n\r\n";
}

// Fifty picture lines, then the given speed line and whatever follows, with the given line end.
QByteArray fileWith(const QByteArray& speedLine, const QByteArray& end = "\r\n",
                    const QByteArray& firstLine = "RBBBBBBB") {
    QByteArray bytes = firstLine + end;
    for (int i = 1; i < 50; ++i)
        bytes += "BBBBBBBB" + end;
    return bytes + speedLine + end + end;
}

// Every byte value but the two line-end characters, spread over the picture.
int byteFor(int row, int col) {
    const int value = (row * 50 + col) % 256;
    return value == '\r' || value == '\n' ? 'Z' : value;
}

} // namespace

class TestPatternFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return f.fileName();
    }
    QByteArray contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private slots:
    void writesTheWorkedExample() {
        DotPattern picture;
        QCOMPARE(PatternFile::write(picture, 5), clearedFile());
        QCOMPARE(PatternFile::write(picture, 5).size(), 507);
        picture.setText(1, 0, LitText);
        QByteArray lit = clearedFile();
        lit[0] = 'R';
        QCOMPARE(PatternFile::write(picture, 5), lit);
        // The bottom-right dot is the last picture byte, before the speed line.
        picture = DotPattern();
        picture.setText(8, 49, LitText);
        QCOMPARE(PatternFile::write(picture, 9).mid(497, 8), QByteArray("R\r\n 9 \r\n"));
    }

    void savesAndLoadsEveryByteBack() {
        DotPattern picture;
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                picture.setText(row, col, QString(QLatin1Char(char(byteFor(row, col)))));
        picture.setText(3, 7, QString()); // a short line
        const QString path = dir.filePath(QStringLiteral("all-bytes.txt"));
        QString error;
        QVERIFY2(PatternFile::save(path, picture, 7, &error), qPrintable(error));
        const PatternFileReadResult read = PatternFile::load(path);
        QVERIFY2(read.ok, qPrintable(read.error.message(path)));
        QCOMPARE(read.content.speed, 7);
        // The empty text moves the rest of its line up, as it does in the file.
        QCOMPARE(read.content.picture.text(3, 7), picture.text(4, 7));
        QCOMPARE(read.content.picture.text(8, 7), QString());
        for (int col = 0; col < PatternCols; ++col)
            if (col != 7)
                for (int row = 1; row <= PatternRows; ++row)
                    QCOMPARE(read.content.picture.text(row, col), picture.text(row, col));
    }

    void readsLinesAsTheyStand() {
        QByteArray bytes = fileWith(" 5 ");
        bytes.replace(0, 10, "rXRB5\r\n");         // a 5-character line
        bytes.replace(17, 10, "RRRRRRRRBBBB\r\n"); // line 3 of 12 characters
        const PatternFileReadResult read = PatternFile::read(bytes);
        QVERIFY(read.ok);
        const DotPattern& p = read.content.picture;
        QCOMPARE(p.text(1, 0), QStringLiteral("r"));
        QCOMPARE(p.text(2, 0), QStringLiteral("X"));
        QCOMPARE(p.text(5, 0), QStringLiteral("5"));
        QCOMPARE(p.text(6, 0), QString());
        QCOMPARE(p.text(8, 0), QString());
        QCOMPARE(p.text(8, 2), QStringLiteral("R"));
        // Written back: the short line stays short, the long one loses its tail.
        const QByteArray again = PatternFile::write(p, 5);
        QVERIFY(again.startsWith("rXRB5\r\nBBBBBBBB\r\nRRRRRRRR\r\n"));
    }

    void acceptsEveryLineEnd_data() {
        QTest::addColumn<QByteArray>("end");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void acceptsEveryLineEnd() {
        QFETCH(QByteArray, end);
        const PatternFileReadResult read = PatternFile::read(fileWith(" 3 ", end));
        QVERIFY(read.ok);
        QCOMPARE(read.content.speed, 3);
        QCOMPARE(read.content.picture.text(1, 0), LitText);
        QCOMPARE(read.content.picture.text(2, 0), DarkText);
        QCOMPARE(read.content.picture.text(8, 49), DarkText);
    }

    void speedLine_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("speed"); // 0: refused
        QTest::newRow("bare") << QByteArray("5") << 5;
        QTest::newRow("saved form") << QByteArray(" 5 ") << 5;
        QTest::newRow("two blanks") << QByteArray("  5") << 5;
        QTest::newRow("tab") << QByteArray("\t9") << 9;
        QTest::newRow("leading zero") << QByteArray("01") << 1;
        QTest::newRow("zero") << QByteArray("0") << 0;
        QTest::newRow("ten") << QByteArray("10") << 0;
        QTest::newRow("letters") << QByteArray("abc") << 0;
        QTest::newRow("empty") << QByteArray("") << 0;
        QTest::newRow("blanks") << QByteArray("   ") << 0;
        QTest::newRow("sign") << QByteArray("-5") << 0;
        QTest::newRow("huge") << QByteArray("99999999999999999999") << 0;
    }
    void speedLine() {
        QFETCH(QByteArray, line);
        QFETCH(int, speed);
        const PatternFileReadResult read = PatternFile::read(fileWith(line));
        QCOMPARE(read.ok, speed != 0);
        if (read.ok) {
            QCOMPARE(read.content.speed, speed);
        } else {
            QCOMPARE(read.error.line, 51);
            QVERIFY(read.error.message(QStringLiteral("f.txt"))
                        .startsWith(QStringLiteral("f.txt: line 51: ")));
        }
    }

    void binarySpeedLineIsShownSafely() {
        const PatternFileReadResult read = PatternFile::read(fileWith("\x1b]0;x\x07\xff\\"));
        QVERIFY(!read.ok);
        QVERIFY2(read.error.reason.endsWith(QStringLiteral("not \"\\x1b]0;x\\x07\\xff\\x5c\"")),
                 qPrintable(read.error.reason));
    }

    void lineCount() {
        QByteArray fifty;
        for (int i = 0; i < 50; ++i)
            fifty += "BBBBBBBB\r\n";
        PatternFileReadResult read = PatternFile::read(fifty);
        QVERIFY(!read.ok);
        QVERIFY(read.error.reason.contains(QStringLiteral("50 lines")));
        QVERIFY(!PatternFile::read(QByteArray()).ok);
        // 51 lines without the empty line, and no line end after the speed.
        QVERIFY(PatternFile::read(fifty + " 4").ok);
        // Sixty lines: the first 51 count, the rest is not even looked at.
        QByteArray sixty = fifty + " 6 \r\n";
        for (int i = 0; i < 9; ++i)
            sixty += "junk\r\n";
        read = PatternFile::read(sixty);
        QVERIFY(read.ok);
        QCOMPARE(read.content.speed, 6);
    }

    void boundedOnHugeOrEndlessInput() {
        // One enormous line, and a device that never ends: refused after a bounded read.
        const QString huge = writeFile(QStringLiteral("huge.txt"), QByteArray(8 << 20, 'R'));
        PatternFileReadResult read = PatternFile::load(huge);
        QVERIFY(!read.ok);
        QCOMPARE(read.error.line, 1);
        read = PatternFile::load(QStringLiteral("/dev/zero"));
        QVERIFY(!read.ok);
        QCOMPARE(read.error.reason, QStringLiteral("it is a device or a pipe, not a file"));
        // A good file followed by megabytes of anything still loads.
        const QString tail =
            writeFile(QStringLiteral("tail.txt"), fileWith(" 2 ") + QByteArray(4 << 20, 'x'));
        QVERIFY(PatternFile::load(tail).ok);
    }

    // Opening a named pipe waits for a writer, reading a terminal waits for input: neither may
    // hang a load. Both are refused at once, like a folder.
    void refusesWhatIsNotAFile() {
        const QString fifo = dir.filePath(QStringLiteral("pipe.txt"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        testing::PseudoTerminal tty;
        QVERIFY(tty.isOpen());
        for (const QString& path : QStringList{fifo, tty.slavePath()}) {
            const PatternFileReadResult read = PatternFile::load(path);
            QVERIFY(!read.ok);
            QCOMPARE(read.error.message(path),
                     path + QStringLiteral(": it is a device or a pipe, not a file"));
        }
        QCOMPARE(PatternFile::load(dir.path()).error.reason,
                 QStringLiteral("it is a folder, not a file"));
    }

    void missingFileNamesItself() {
        const QString path = dir.filePath(QStringLiteral("no-such.txt"));
        const PatternFileReadResult read = PatternFile::load(path);
        QVERIFY(!read.ok);
        const QString message = read.error.message(path);
        QVERIFY2(message.startsWith(path + QStringLiteral(": cannot open")), qPrintable(message));
    }

    void saveReplacesWholeOrNotAtAll() {
        const QString path = writeFile(QStringLiteral("old.txt"), QByteArray(2000, 'o'));
        QString error;
        QVERIFY(PatternFile::save(path, DotPattern(), 5, &error));
        QCOMPARE(contents(path), clearedFile());

        const QString missingFolder = dir.filePath(QStringLiteral("nowhere/x.txt"));
        QVERIFY(!PatternFile::save(missingFolder, DotPattern(), 5, &error));
        QVERIFY2(error.startsWith(missingFolder + QStringLiteral(": cannot save")),
                 qPrintable(error));
        QVERIFY(!QFile::exists(missingFolder));
        const QString underFile = path + QStringLiteral("/x.txt");
        QVERIFY(!PatternFile::save(underFile, DotPattern(), 5, &error));
    }

    // A full disk, played by a file-size limit in a child process: the old file stays whole.
    void saveOnFullDiskKeepsTheOldFile() {
        const QByteArray old(300, 'o');
        const QString path = writeFile(QStringLiteral("limited.txt"), old);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100, 100};
            setrlimit(RLIMIT_FSIZE, &limit);
            QString error;
            const bool saved = PatternFile::save(path, DotPattern(), 5, &error);
            _exit(saved ? 0 : error.contains(path) ? 3 : 4);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 3);
        QCOMPARE(contents(path), old);
        QCOMPARE(QDir(dir.path())
                     .entryList(QDir::Files | QDir::Hidden)
                     .filter(QStringLiteral("limited")),
                 QStringList{QStringLiteral("limited.txt")});
    }
};

QTEST_GUILESS_MAIN(TestPatternFile)
#include "tst_patternfile.moc"
