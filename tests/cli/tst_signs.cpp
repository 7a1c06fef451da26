// The signs file: its lines, groups and refusals as read from real files, names expanded to
// devices, and the editor's --device taking a sign's name.

#include "signsfile.h"
#include "testfiles.h"

#include <QTest>

using namespace orvane;
using namespace orvane::testing;

namespace {

// "name=device" or "name=[a,b]" for each entry, in order; or "FILE: reason" when refused.
QString summary(const Result<SignList>& list) {
    if (!list)
        return list.error();
    QStringList parts;
    for (const SignList::Entry& e : list->entries)
        parts << e.name + '=' +
                     (e.members.isEmpty() ? e.device.text() : '[' + e.members.join(',') + ']');
    return parts.join(';');
}

} // namespace

class TestSigns : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void lines_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("read"); // "@" stands for the file
        const auto row = [](const char* name, const QByteArray& content, const QString& read) {
            QTest::newRow(name) << content << read;
        };
        const QString noName = "\" is no name: a name is letters, digits, \"-\", \"_\" and \".\"",
                      port = "@: line 1: \"port %1\": a port is a number from 1 to 16";
        row("empty", "", "");
        row("every form",
            "\xEF\xBB\xBF# shop\r\n\n  lobby =/dev/ttyUSB0 # by the door\r\ndesk= PORT  16\r"
            "door = socket://door:2000\nback=rfc2217://[::1]:2001\n\xEC\x9E\x85\xEA\xB5\xAC = "
            "port 1\nfloor = lobby,door , desk\nall = floor, back\nalias = lobby\n",
            "lobby=/dev/ttyUSB0;desk=port 16;door=socket://door:2000;back=rfc2217://[::1]:2001;"
            "\uC785\uAD6C=port 1;floor=[lobby,door,desk];all=[floor,back];alias=[lobby]");
        row("a name used before it is given", "g = a\na = /dev/x\n", "g=[a];a=/dev/x");
        row("no equals", "a = /dev/x\nb /dev/y\n",
            "@: line 2: a line is NAME = DEVICE or NAME = NAME, NAME, ...");
        row("no name", " = /dev/x", "@: line 1: \"" + noName);
        row("two words", "big sign = /dev/x", "@: line 1: \"big sign" + noName);
        row("twice", "a = /dev/x\n\na = port 2\n", "@: line 3: \"a\" is named on line 1 already");
        row("no device", "a =  # later", "@: line 1: \"a\" has no device");
        row("port 0", "a = port 0", port.arg(0));
        row("port 17", "a = port 17", port.arg(17));
        row("port word", "a = port six",
            "@: line 1: \"port six\": a port is given by its number, as \"port 6\"");
        row("unknown link", "a = /dev/x\nb = telnet://h:23",
            "@: line 2: telnet://h:23: not a kind of link this program knows; use "
            "socket://HOST:PORT (a raw TCP port) or rfc2217://HOST:PORT (an RFC 2217 server)");
        row("no port in a link", "a = socket://h",
            "@: line 1: socket://h: the port is missing; write socket://HOST:PORT");
        row("control character", "a = /dev/tty\x1b[2J",
            "@: line 1: /dev/tty\\x1b[2J: a device or link has no control characters");
        row("relative path", "a = dev/ttyS0",
            "@: line 1: \"dev/ttyS0\" is neither a device nor a name; a device is \"port N\", "
            "socket://HOST:PORT, rfc2217://HOST:PORT or an absolute path");
        row("empty member", "a = /dev/x\ng = a,, a",
            "@: line 2: the group \"g\" has an empty name in its list");
        row("unknown member", "a = /dev/x\ng = a, b",
            "@: line 2: the group \"g\" names \"b\", which is no sign or group of this file");
        row("contains itself", "g = g", "@: line 1: the group \"g\" contains itself: g > g");
        row("contains itself through others", "a = /dev/x\ng = a, h\nh = i\ni = a, g\n",
            "@: line 2: the group \"g\" contains itself: g > h > i > g");
    }
    void lines() {
        QFETCH(QByteArray, content);
        QFETCH(QString, read);
        const QString file = writeFile(dir, "signs.conf", content);
        QCOMPARE(summary(readSignsFile(file)), QString(read).replace('@', file));
    }

    // A file that is not there, one too large, and a chain of groups as long as the file allows:
    // read without recursion, expanded in order.
    void files() {
        const QString missing = dir.filePath("none.conf");
        QCOMPARE(readSignsFile(missing).error(),
                 missing + ": cannot open the file: " + missingFileReason());
        const QString huge = writeFile(dir, "huge.conf", QByteArray(1 << 20, '#') + "\n");
        QCOMPARE(readSignsFile(huge).error(),
                 huge + ": the file is larger than 1048576 bytes; it is no signs file");
        QByteArray chain = "g0 = /dev/x\n";
        for (int i = 1; i < 20000; ++i)
            chain += "g" + QByteArray::number(i) + " = g" + QByteArray::number(i - 1) + "\n";
        const Result<SignList> list = readSignsFile(writeFile(dir, "chain.conf", chain));
        const Result<QList<SignDevice>> signs = list->expand({"g19999"});
        QVERIFY(signs && signs->size() == 1 && signs->first().device == "/dev/x");
    }

    // Names expand in the order given, a group's in its order, each sign once; an unknown name
    // is named with the names there are; one() takes no group.
    void expand() {
        const Result<SignList> list = readSignsFile(
            writeFile(dir, "signs.conf",
                      "a = /dev/a\nb = port 2\nc = socket://c:1\nab = a, b\nall = c, ab, a\n"));
        const auto names = [](const QList<SignDevice>& signs) {
            QStringList n;
            for (const SignDevice& s : signs)
                n << s.name;
            return n;
        };
        QCOMPARE(names(list->expand({"b", "all", "a", "b"}).value()), QStringList({"b", "c", "a"}));
        QCOMPARE(list->expand({"a", "d"}).error(),
                 list->file + ": no sign is named \"d\"; the names are: a, b, c, ab, all");
        QCOMPARE(list->one("ab").error(),
                 list->file + ": \"ab\" is a group of the signs a, b; name one sign");
        QCOMPARE(list->one("b")->port, 2);
    }

    // The editor's --device: a path or link as it stands, a sign's name from ORVANE_SIGNS' file,
    // a group or an unknown name refused.
    void deviceOrSignName() {
        const QString file = writeFile(dir, "editor.conf", "desk = port 6\nboth = desk\n");
        qputenv("ORVANE_SIGNS", file.toLocal8Bit());
        const auto unset = qScopeGuard([] { qunsetenv("ORVANE_SIGNS"); });
        QCOMPARE(signsFilePath(), file);
        QCOMPARE(deviceOrSign("/dev/ttyS0")->device, "/dev/ttyS0");
        QCOMPARE(deviceOrSign("socket://h:1")->address.text(), "socket://h:1");
        QCOMPARE(deviceOrSign("")->port, 1);
        QCOMPARE(deviceOrSign("socket://h").error(),
                 "socket://h: the port is missing; write socket://HOST:PORT");
        QCOMPARE(deviceOrSign("desk")->port, 6);
        QVERIFY(deviceOrSign("both").error().contains("\"both\" is a group"));
        QCOMPARE(deviceOrSign("hall").error(),
                 file + ": no sign is named \"hall\"; the names are: desk, both");
    }
};

QTEST_GUILESS_MAIN(TestSigns)
#include "tst_signs.moc"
