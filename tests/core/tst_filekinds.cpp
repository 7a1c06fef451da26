// Reading and writing the files the user names, where they are not ordinary files: one that
// looks regular but blocks its reader, and outputs that are a pipe, a socket, a device or a
// folder.

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
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
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
    // A file that looks regular but gives no data: trace_pipe of a tracing instance of its own
    // (nothing else writes to its buffer), in tracefs mounted in a temporary folder.
    void aStalledReadIsGivenUp() {
        QTemporaryDir mountPoint;
        const QByteArray at = QFile::encodeName(mountPoint.path());
        if (mount("nodev", at.constData(), "tracefs", 0, nullptr) != 0)
            QSKIP(qPrintable("no tracefs to mount, whose trace_pipe blocks its reader (mounting "
                             "needs root): " +
                             qt_error_string(errno)));
        const QString instance =
            mountPoint.filePath(QStringLiteral("instances/orvane-test-%1").arg(getpid()));
        const auto unmount = qScopeGuard([&] { // instances outlive the mount
            rmdir(QFile::encodeName(instance).constData());
            umount2(at.constData(), MNT_DETACH);
        });
        QVERIFY(QDir().mkdir(instance));
        const QString pipe = instance + "/trace_pipe";
        QVERIFY(QFileInfo(pipe).isFile());

        const Result<FileBytes> read = readBoundedFile(pipe, 16, 200ms);
        QVERIFY(!read.ok);
        QCOMPARE(read.refusal.reason,
                 "the file gave no data for 0.2 s; it is not an ordinary file");

        // A line in the buffer wakes the thread left reading: it takes its 16 bytes and closes
        // the file, and the instance can go.
        const int marker =
            open(QFile::encodeName(instance + "/trace_marker").constData(), O_WRONLY);
        QVERIFY(marker >= 0 && write(marker, "orvane test\n", 12) == 12);
        close(marker);
        QTRY_VERIFY(rmdir(QFile::encodeName(instance).constData()) == 0 || errno == ENOENT);
    }

    // Save, orvane-send --save and --png replace only a regular file, also through a symbolic
    // link; anything else is refused and left as it is.
    void savesReplaceOnlyFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("says"); // empty: saved through the link
        const QString device = "it is a device or a pipe, not a file";
        const auto path = [&](const char* name) { return QFile::encodeName(dir.filePath(name)); };
        QTest::newRow("FIFO") << makeNamedPipe(dir, "fifo") << device;

        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path("socket"), sizeof address.sun_path);
        const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        close(listener);
        QTest::newRow("socket") << dir.filePath("socket") << device;

        // A copy of /dev/null; QSKIP in the test when it cannot be made.
        const bool made = mknod(path("null"), S_IFCHR | 0666, makedev(1, 3)) == 0;
        QTest::newRow("device") << (made ? dir.filePath("null") : QString()) << device;

        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QTest::newRow("folder") << dir.filePath("folder") << "it is a folder, not a file";

        QCOMPARE(symlink("fifo", path("link-to-fifo")), 0);
        QTest::newRow("link to a FIFO") << dir.filePath("link-to-fifo") << device;

        writeFile(dir, "file.txt", "old");
        QCOMPARE(symlink("file.txt", path("link-to-file")), 0);
        QTest::newRow("link to a file") << dir.filePath("link-to-file") << QString();
    }
    void savesReplaceOnlyFiles() {
        QFETCH(QString, path);
        QFETCH(QString, says);
        if (path.isEmpty())
            QSKIP("a device node can be made only as root");
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
