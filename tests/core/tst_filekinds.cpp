// Files the user names that are not ordinary files.

#include "boundedfile.h"
#include "imageexport.h"
#include "patternfile.h"
#include "stalledfile.h"
#include "testfiles.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::testing;
using namespace std::chrono_literals;

// The node itself (not what a link names): its kind, identity and device.
static QList<quint64> node(const QString& path) {
    struct stat st {};
    if (lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {st.st_mode, st.st_ino, st.st_rdev};
}

class TestFileKinds : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // trace_pipe looks regular but gives no data.
    void aStalledReadIsGivenUp() {
        const StalledFile stalled;
        if (!stalled.ok())
            QSKIP("no tracefs to mount (mounting needs root)");
        QCOMPARE(readBoundedFile(stalled.path(), 16, 200ms).error(),
                 stalled.path() + ": the file gave no data for 0.2 s; it is not an ordinary file");
    }

    // Save and --png replace only a regular file, also through a link; anything else is left.
    void savesReplaceOnlyFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("says"); // empty: saved through the link
        const auto link = [&](const char* target, const char* name) {
            return symlink(target, QFile::encodeName(dir.filePath(name))) == 0 ? dir.filePath(name)
                                                                               : QString();
        };
        makeNamedPipe(dir, "fifo");
        writeFile(dir, "file.txt", "old");
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QTest::newRow("link to a FIFO")
            << link("fifo", "to-fifo") << "it is a device or a pipe, not a file";
        QTest::newRow("folder") << dir.filePath("folder") << "it is a folder, not a file";
        QTest::newRow("link to a file") << link("file.txt", "to-file") << QString();
    }
    void savesReplaceOnlyFiles() {
        QFETCH(QString, path);
        QFETCH(QString, says);
        const QList<quint64> before = node(path);
        const Result<void> saved = PatternFile::save(path, DotPattern(), Speed());
        const QByteArray savedBytes = readFile(dir.filePath("file.txt"));
        const Result<void> png = savePng(path, DotPattern().reader(), 1);
        QCOMPARE(node(path), before);
        if (says.isEmpty()) {
            QVERIFY2(saved && png, qPrintable(saved.error() + png.error()));
            QCOMPARE(savedBytes, patternFile());
            QVERIFY(readFile(path).startsWith("\x89PNG"));
        } else {
            QCOMPARE((QStringList{saved.error(), png.error()}),
                     (QStringList{path + ": cannot save the file: " + says,
                                  path + ": cannot save the image: " + says}));
        }
    }

    // Save keeps the owner ("nobody", planted as root), group and permissions of the file it
    // replaces; a file with another name (a hard link) is rewritten, so both names show the new
    // content, and a full disk leaves it as it was.
    void saveKeepsTheFileItReplaces_data() {
        QTest::addColumn<bool>("otherOwner");
        QTest::newRow("own file") << false;
        QTest::newRow("nobody's file") << true;
    }
    void saveKeepsTheFileItReplaces() {
        QFETCH(bool, otherOwner);
        if (otherOwner && geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        const QString path = writeFile(dir, "owned.txt", "old");
        const QByteArray name = QFile::encodeName(path);
        QVERIFY(chmod(name, 0640) == 0 && (!otherOwner || chown(name, 65534, 65534) == 0));
        struct stat before {
        }, after{};
        QVERIFY(stat(name, &before) == 0);
        QVERIFY(PatternFile::save(path, DotPattern(), Speed()));
        QVERIFY(stat(name, &after) == 0);
        QCOMPARE((QList<uint>{after.st_mode & 07777, after.st_uid, after.st_gid}),
                 (QList<uint>{0640, before.st_uid, before.st_gid}));
        QCOMPARE(readFile(path), patternFile());

        const QString other = dir.filePath("other-name.png");
        QFile::remove(other);
        QVERIFY(link(name, QFile::encodeName(other)) == 0);
        QVERIFY(savePng(other, DotPattern().reader(), 1));
        const QByteArray png = readFile(path);
        QVERIFY(png.startsWith("\x89PNG") && readFile(other) == png);
        const auto saved = [&] { return PatternFile::save(path, DotPattern(), Speed()).ok(); };
        QCOMPARE(withFileSizeLimit(png.size() + 10, saved), 0); // 0: refused
        QCOMPARE(readFile(other), png);
        QCOMPARE(node(other), node(path));
    }

    // In a folder every user may write to, a save follows no symbolic link of another user's and
    // writes into no file of another user's that has other names ("nobody" plants them).
    void plantedLinksAreNotFollowed() {
        if (geteuid() != 0)
            QSKIP("planting files of another user's needs root");
        QTemporaryDir shared;
        const QString mine = writeFile(dir, "mine.txt", "mine"), link = shared.filePath("sign.txt");
        const QString file = writeFile(shared, "file.txt", "planted");
        const QString other = shared.filePath("other.txt");
        QVERIFY(chmod(QFile::encodeName(shared.path()), 01777) == 0 &&
                symlink(QFile::encodeName(mine), QFile::encodeName(link)) == 0 &&
                lchown(QFile::encodeName(link), 65534, 65534) == 0 &&
                chown(QFile::encodeName(file), 65534, 65534) == 0 &&
                ::link(QFile::encodeName(file), QFile::encodeName(other)) == 0);
        QCOMPARE(PatternFile::save(link, DotPattern(), Speed()).error(),
                 link + ": cannot save the file: it is another user's symbolic link in a "
                        "folder open to every user; it is not followed");
        QCOMPARE(readFile(mine), "mine");
        QVERIFY(PatternFile::save(file, DotPattern(), Speed()));
        QCOMPARE(readFile(other), "planted");
    }
};

QTEST_GUILESS_MAIN(TestFileKinds)
#include "tst_filekinds.moc"
