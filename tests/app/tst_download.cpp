// Downloads through the window into a real pseudo-terminal.

#include "eventloop.h"
#include "porttable.h"
#include "pty.h"
#include "windowfixture.h"

#include <QTcpServer>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

namespace {

const QString Start = u"Download Start ......"_s;
// Column 1 lit in rows 1, 3 and 8 and column 50 in row 2, at speed 7.
const QByteArray Frame = "SA1" + QByteArray(96, '0') + "407";

} // namespace

class TestDownload : public WindowFixture {
    Q_OBJECT

    std::unique_ptr<PseudoTerminal> pty;

    QString portTip() {
        auto* port = control<QLabel>(*form, "Label1");
        QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), port->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(port, &event);
        return port->toolTip();
    }
    // Runs a download to its end; true when every column was shown and then the completion.
    bool download() {
        captions.clear();
        press(*form, "Command4");
        if (!runUntil([this] { return !form->downloading(); }))
            return false;
        QStringList all{Start};
        for (int col = 1; col <= PatternCols; ++col)
            all << QString::number(col - 1);
        return captions == all << u"Data Out Complete !"_s;
    }
    // A window drawn as Frame shows.
    void openDrawn() {
        openWindow();
        for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
            clickCell(*grid(), row, col);
        bar()->setValue(7);
    }

private slots:
    void cleanup() { closeWindow(); }

    // Up and Dn keep within 1..16; a failure is reported by port and changes nothing. While the
    // line is held the window is busy and drops clicks, keys and closing, and shows no column.
    void downloads() {
        pty = std::make_unique<PseudoTerminal>();
        const PortTable::ScopedDeviceResolver resolver([this](int port) {
            return port == 1 && pty ? pty->slavePath() : u"/none/tty%1"_s.arg(port);
        });
        openDrawn();
        for (int i = 0; i < 16; ++i)
            press(*form, "Command6");
        QVERIFY(!download() && captions.isEmpty());
        takeError(u"Cannot open port 16 (/none/tty16): nothing is plugged in"_s);
        for (int i = 0; i < 16; ++i)
            press(*form, "Command7");
        QVERIFY(pty->hold());
        press(*form, "Command4");
        QVERIFY(QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        press(*form, "Command6");
        clickCell(*grid(), 1, 1);
        undo();
        for (const char* name : {"Command5", "Command6"}) // Set and Up, as a screen reader presses
            QAccessible::queryAccessibleInterface(control<QWidget>(*form, name))
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(!form->close());
        QTest::qWait(100);
        QCOMPARE(captions, QStringList{Start});
        QVERIFY(pty->release() && runUntil([this] { return !form->downloading(); }));
        QVERIFY(download());
        QCOMPARE(pty->read(2 * DownloadFrame::Length), Frame + Frame);
        QCOMPARE(pty->readAvailable(), QByteArray());
        QCOMPARE(beeps->n, 3); // and start-up's Clear
        QCOMPARE(label("Label1"), u"1"_s);
        QVERIFY(form->isVisible() && !QApplication::overrideCursor());
        undo(); // keys are taken again
        QCOMPARE(rows()[1][49], u'.');
        QCOMPARE(portTip(), "Port 1: " + pty->slavePath() + ", present");
        pty.reset();
        QCOMPARE(portTip(), u"Port 1: /none/tty1, nothing plugged in"_s);
    }

    // A download that fails after it began puts back the caption it found: the saved file's.
    void aFailedDownloadLeavesTheCaption() {
        openDrawn();
        QTemporaryDir dir;
        const QString saved = dir.filePath("sign.txt");
        const CommonDialog::ScopedAnswer answer([&] { return saved; });
        press(*form, "Command3");
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString device = u"socket://127.0.0.1:%1"_s.arg(closed.serverPort());
        closed.close(); // nothing listens there now
        form->setDevice(LinkTarget::parse(device).value());
        captions.clear();
        press(*form, "Command4");
        QVERIFY(runUntil([this] { return !form->downloading(); }));
        QCOMPARE(captions, (QStringList{Start, saved}));
        takeError("Cannot connect to " + device + ": the connection was refused");
    }

    void destroyedDuringADownload_data() {
        QTest::addColumn<QString>("at"); // the caption, "20" with the line held; or all arrived
        for (const QString& at : {Start, u"20"_s, u"drain"_s})
            QTest::newRow(qPrintable(at)) << at;
    }
    // Destroyed at any moment, with a key queued for it, the window closes the port at once,
    // having sent the beginning of the frame; a new window downloads through the same device,
    // given by name (orvane --device) as its tooltip says.
    void destroyedDuringADownload() {
        QFETCH(QString, at);
        pty = std::make_unique<PseudoTerminal>();
        openDrawn();
        form->setDevice(LinkTarget::parse(pty->slavePath()).value());
        QByteArray arrived;
        const auto destroy = [this] {
            QCoreApplication::postEvent(grid(),
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_A, {}, "A"));
            form.reset();
        };
        connect(form.get(), &QWidget::windowTitleChanged, this, [&](const QString& title) {
            if (title != at)
                return;
            QVERIFY(at != "20" || pty->hold());
            QTimer::singleShot(at == "20" ? 100 : 0, this, destroy);
        });
        QSocketNotifier arriving(pty->masterFd(), QSocketNotifier::Read);
        connect(&arriving, &QSocketNotifier::activated, this, [&] {
            arrived += pty->read(1 << 20, 0);
            if (arrived.size() == DownloadFrame::Length)
                destroy();
        });
        arriving.setEnabled(at == "drain");
        press(*form, "Command4");
        QVERIFY(runUntil([this] { return !form; }));
        QTest::qWait(50); // nothing of the download is left to run
        QVERIFY(!QApplication::overrideCursor());
        arriving.setEnabled(false);
        QVERIFY(at != "20" || pty->release());
        arrived += pty->read(DownloadFrame::Length, 100);
        QVERIFY2(Frame.startsWith(arrived), arrived.constData());
        QVERIFY(at != "drain" || arrived == Frame);

        openDrawn();
        form->setDevice(LinkTarget::parse(pty->slavePath()).value());
        QCOMPARE(portTip(),
                 "Down Load sends to " + pty->slavePath() + " (given by --device), not to port 1");
        QVERIFY(download());
        QCOMPARE(pty->read(DownloadFrame::Length), Frame);
    }
};

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
