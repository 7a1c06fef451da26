// Downloads through the window into a real pseudo-terminal: Up and Dn, the captions, a port that
// cannot be opened or goes away, a held line, and the window destroyed midway.

#include "eventloop.h"
#include "porttable.h"
#include "pty.h"
#include "windowfixture.h"

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

namespace {

// The captions of a download that got to column `last`.
QStringList captionsTo(int last) {
    QStringList s{u"Download Start ......"_s};
    for (int col = 0; col <= last; ++col)
        s << QString::number(col);
    return last == PatternCols - 1 ? s << u"Data Out Complete !"_s : s;
}

// Column 1 lit in rows 1, 3 and 8 and column 50 in row 2, at speed 7.
const QByteArray Frame = "SA1" + QByteArray(96, '0') + "407";

} // namespace

class TestDownload : public WindowFixture {
    Q_OBJECT

    std::unique_ptr<PseudoTerminal> pty;
    QStringList captions;
    QString hangUpAt; // the caption at which the line's far end closes

    QString portTip() {
        auto* port = control<QLabel>(*form, "Label1");
        QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), port->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(port, &event);
        return port->toolTip();
    }
    void download() {
        captions.clear();
        press(*form, "Command4");
        QVERIFY(runUntil([this] { return !form->downloading(); }));
    }
    // A window drawn as Frame shows.
    void openDrawn() {
        openWindow();
        connect(form.get(), &QWidget::windowTitleChanged, this, [this](const QString& title) {
            captions << title;
            if (title == hangUpAt)
                pty->closeMaster();
        });
        for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
            clickCell(*grid(), row, col);
        bar()->setValue(7);
    }
    // Destroys the window with a key still queued for its grid, which must go with it.
    void destroyWindow() {
        QCoreApplication::postEvent(
            grid(), new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"A"_s));
        form.reset();
    }

private slots:
    void cleanup() { closeWindow(); }

    // Up and Dn keep within 1..16; failures are reported by port and change nothing. While the
    // line is held the window is busy and drops clicks, keys and closing, and shows no column.
    void downloads() {
        pty = std::make_unique<PseudoTerminal>();
        const PortTable::ScopedDeviceResolver resolver([this](int port) {
            return port == 1 && pty ? pty->slavePath() : u"/none/tty%1"_s.arg(port);
        });
        openDrawn();
        const DotPattern drawn = PictureOf(*grid());
        for (int port = 2; port <= 17; ++port) {
            press(*form, "Command6");
            QCOMPARE(label("Label1"), QString::number(std::min(port, 16)));
        }
        download();
        QVERIFY(captions.isEmpty());
        takeError(u"Cannot open port 16 (/none/tty16): nothing is plugged in"_s);
        for (int port = 15; port >= 0; --port) {
            press(*form, "Command7");
            QCOMPARE(label("Label1"), QString::number(std::max(port, 1)));
        }
        hangUpAt = u"10"_s;
        download();
        takeError("Sending to port 1 (" + pty->slavePath() + ") failed");
        QCOMPARE(captions, captionsTo(10));

        hangUpAt.clear();
        pty = std::make_unique<PseudoTerminal>();
        QVERIFY(pty->hold());
        captions.clear();
        press(*form, "Command4");
        QVERIFY(form->downloading() && QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        press(*form, "Command6");
        clickCell(*grid(), 1, 1);
        undo();
        QVERIFY(!form->close());
        QTest::qWait(100);
        QCOMPARE(captions, captionsTo(-1));
        QVERIFY(pty->release());
        QVERIFY(runUntil([this] { return !form->downloading(); }));
        for (int run = 2; run <= 3; ++run) {
            QCOMPARE(pty->read(DownloadFrame::Length), Frame);
            QCOMPARE(pty->readAvailable(), QByteArray());
            QCOMPARE(captions, captionsTo(PatternCols - 1));
            QCOMPARE(beeps->count(), run); // and start-up's Clear
            QCOMPARE(PictureOf(*grid()), drawn);
            QCOMPARE(label("Label1"), u"1"_s);
            QVERIFY(form->isVisible() && !QApplication::overrideCursor());
            if (run == 2)
                download();
        }
        undo(); // keys are taken again
        QCOMPARE(PictureOf(*grid()).text(2, 49), DarkText);
        QCOMPARE(portTip(), "Port 1: " + pty->slavePath() + ", present");
        pty.reset();
        QCOMPARE(portTip(), u"Port 1: /none/tty1, nothing plugged in"_s);
    }

    void destroyedDuringADownload_data() {
        QTest::addColumn<QStringList>("how"); // at the caption ("drain": all arrived), the line
        QTest::newRow("after start") << QStringList{"Download Start ......", ""};
        QTest::newRow("mid-frame, held") << QStringList{"20", "hold"};
        QTest::newRow("mid-frame, full") << QStringList{"20", "fill"};
        QTest::newRow("during drain") << QStringList{"drain", ""};
    }
    // Destroyed at any moment, with input queued for it, the window closes the port at once,
    // having sent the beginning of the frame; a new window downloads through the same device,
    // given by name (orvane --device) as its tooltip says.
    void destroyedDuringADownload() {
        QFETCH(QStringList, how);
        const QString at = how[0], line = how[1];
        pty = std::make_unique<PseudoTerminal>();
        QString port1 = pty->slavePath();
        const PortTable::ScopedDeviceResolver resolver([&](int) { return port1; });
        openDrawn();
        int filled = 0;
        QByteArray arrived;
        connect(form.get(), &QWidget::windowTitleChanged, this, [&](const QString& title) {
            if (title != at)
                return;
            if (line == "hold")
                QVERIFY(pty->hold());
            else if (line == "fill")
                filled = pty->fill();
            QTimer::singleShot(line.isEmpty() ? 0 : 100, this, [this] { destroyWindow(); });
        });
        QSocketNotifier arriving(pty->masterFd(), QSocketNotifier::Read);
        connect(&arriving, &QSocketNotifier::activated, this, [&] {
            arrived += pty->read(1 << 20, 0);
            if (at == "drain" && arrived.size() == DownloadFrame::Length)
                destroyWindow();
        });
        arriving.setEnabled(at == "drain");
        press(*form, "Command4");
        QVERIFY(runUntil([this] { return !form; }));
        QTest::qWait(50); // nothing of the download is left to run
        QVERIFY(!QApplication::overrideCursor());
        arriving.setEnabled(false);
        QVERIFY(line != "hold" || pty->release());
        arrived += pty->read(filled + DownloadFrame::Length, 100);
        QCOMPARE(arrived.count('#'), filled); // what the line held back, after what went out
        arrived.replace('#', QByteArray());
        QVERIFY2(Frame.startsWith(arrived), arrived.constData());
        QVERIFY(at != "drain" || arrived == Frame);

        port1 = u"/none/tty1"_s;
        openDrawn();
        form->setDevice(pty->slavePath());
        QCOMPARE(portTip(),
                 "Down Load sends to " + pty->slavePath() + " (given by --device), not to port 1");
        download();
        QCOMPARE(captions, captionsTo(PatternCols - 1));
        QCOMPARE(pty->read(DownloadFrame::Length), Frame);
    }
};

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
