// Files the user names that are not ordinary files.

#include "boundedfile.h"
#include "imageexport.h"
#include "patternfile.h"
#include "testfiles.h"

#include <QDir>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
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
    // trace_pipe of a tracing instance of its own looks regular but gives no data.
    void aStalledReadIsGivenUp() {
        QTemporaryDir mountPoint;
        const QByteArray at = QFile::encodeName(mountPoint.path());
        if (mount("nodev", at.constData(), "tracefs", 0, nullptr) != 0)
            QSKIP("no tracefs to mount (mounting needs root)");
        const QByteArray instance = at + "/instances/orvane-test-" + QByteArray::number(getpid());
        const auto unmount = qScopeGuard([&] { // instances outlive the mount
            rmdir(instance.constData());
            umount2(at.constData(), MNT_DETACH);
        });
        QVERIFY(mkdir(instance.constData(), 0700) == 0);
        QCOMPARE(readBoundedFile(QFile::decodeName(instance + "/trace_pipe"), 16, 200ms).error(),
                 QFile::decodeName(instance) +
                     "/trace_pipe: the file gave no data for 0.2 s; it is not an ordinary file");
        // A line in the buffer lets the thread left reading finish, and the instance go.
        const int marker = open((instance + "/trace_marker").constData(), O_WRONLY);
        QVERIFY(marker >= 0 && write(marker, "orvane test\n", 12) == 12);
        close(marker);
        QTRY_VERIFY(rmdir(instance.constData()) == 0 || errno == ENOENT);
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
        QString savedError, pngError;
        const bool saved = PatternFile::save(path, DotPattern(), Speed(), &savedError);
        const QByteArray savedBytes = readFile(dir.filePath("file.txt"));
        const bool png = savePng(path, DotPattern().reader(), 1, &pngError);
        QCOMPARE(node(path), before);
        if (says.isEmpty()) {
            QVERIFY2(saved && png, qPrintable(savedError + pngError));
            QCOMPARE(savedBytes, patternFile());
            QVERIFY(readFile(path).startsWith("\x89PNG"));
        } else {
            QCOMPARE((QStringList{savedError, pngError}),
                     (QStringList{path + ": cannot save the file: " + says,
                                  path + ": cannot save the image: " + says}));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileKinds)
#include "tst_filekinds.moc"
