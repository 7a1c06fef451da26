// Downloads through the window: Up and Dn, "Down Load" into a real pseudo-terminal, the caption's
// progress, what the window does when the port cannot be opened or goes away, and the window
// destroyed in the middle of a download.

#include "errorreport.h"
#include "eventloop.h"
#include "form1.h"
#include "gridprobe.h"
#include "porttable.h"
#include "pty.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QTimer>

#include <memory>

using namespace orvane;
using namespace orvane::testing;

namespace {

QStringList downloadCaptions(int lastColumn = PatternCols - 1) {
    QStringList s{QStringLiteral("Download Start ......")};
    for (int col = 0; col <= lastColumn; ++col)
        s << QString::number(col);
    return lastColumn == PatternCols - 1 ? s << QStringLiteral("Data Out Complete !") : s;
}

const QByteArray Frame = "SA1" + QByteArray(96, '0') + "407";

} // namespace

class TestDownload : public QObject {
    Q_OBJECT

    std::unique_ptr<PseudoTerminal> pty;
    BeepCounter beeps;
    QStringList captions, errors;
    const ScopedErrorHandler box{
        [this](QWidget*, const QString&, const QString& text) { errors << text; }};
    QString hangUpAt;            // the caption at which the pseudo-terminal's master side is closed
    std::unique_ptr<Form1> form; // last, so that it goes first

    FlexGrid& grid() { return *control<FlexGrid>(*form, "MSFlexGrid1"); }
    QString portShown() { return control<QLabel>(*form, "Label1")->text(); }
    QString portTip() {
        QLabel* label = control<QLabel>(*form, "Label1");
        QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(label, &event);
        return label->toolTip();
    }
    // "Down Load", and the wait until the port is closed again.
    void download() {
        captions.clear();
        press(*form, "Command4");
        QVERIFY(runUntil([this] { return !form->downloading(); }));
    }
    // Destroys the window with a key still queued for its grid, which must go with it.
    void destroyForm() {
        QCoreApplication::postEvent(&grid(), new QKeyEvent(QEvent::KeyPress, Qt::Key_A,
                                                           Qt::NoModifier, QStringLiteral("A")));
        form.reset();
    }
    // A window whose port 1 is the pseudo-terminal, with the picture Frame shows.
    void showForm() {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        connect(form.get(), &QWidget::windowTitleChanged, this, [this](const QString& title) {
            captions << title;
            if (title == hangUpAt)
                pty->closeMaster();
        });
        for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
            clickCell(grid(), row, col);
        control<QScrollBar>(*form, "HScroll1")->setValue(7);
    }

private slots:
    void init() { errors.clear(); }
    // Up and Dn choose the port within 1..16, and a port with nothing there is reported. The
    // picture and the speed go out as the frame, with the captions in order; a port that goes
    // away midway is reported, and the next download works. While the line is held the window
    // shows it is busy and drops clicks and closing. Neither failure changes anything or beeps.
    void downloads() {
        pty = std::make_unique<PseudoTerminal>();
        // Port 1 is the pseudo-terminal; every other number names a device that does not exist.
        const PortTable::ScopedDeviceResolver resolver([this](int port) {
            return port == 1 && pty ? pty->slavePath() : QStringLiteral("/none/tty%1").arg(port);
        });
        showForm();
        const QStringList texts = gridTexts(grid());
        for (int port = 2; port <= 17; ++port) {
            press(*form, "Command6");
            QCOMPARE(portShown(), QString::number(std::min(port, 16)));
        }
        download();
        QVERIFY(errors.size() == 1 && captions.isEmpty());
        QVERIFY2(errors[0].startsWith("Cannot open port 16 (/none/tty16): nothing is plugged in"),
                 qPrintable(errors[0]));
        for (int port = 15; port >= 0; --port) {
            press(*form, "Command7");
            QCOMPARE(portShown(), QString::number(std::max(port, 1)));
        }

        hangUpAt = QStringLiteral("10");
        download();
        QVERIFY2(errors.last().startsWith("Sending to port 1 (" + pty->slavePath() + ") failed"),
                 qPrintable(errors.last()));
        QCOMPARE(captions, downloadCaptions(10));

        hangUpAt.clear();
        pty = std::make_unique<PseudoTerminal>();
        QVERIFY(pty->hold()); // held: nothing goes out
        captions.clear();
        press(*form, "Command4");
        QVERIFY(form->downloading());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        press(*form, "Command6");
        clickCell(grid(), 1, 1);
        QVERIFY(!form->close());
        QTest::qWait(100);
        QCOMPARE(captions, downloadCaptions(-1)); // no column while none has gone out
        QVERIFY(pty->release());
        QVERIFY(runUntil([this] { return !form->downloading(); }));
        for (int run = 2; run <= 3; ++run) {
            QCOMPARE(pty->read(DownloadFrame::Length), Frame);
            QCOMPARE(pty->readAvailable(), QByteArray());
            QCOMPARE(captions, downloadCaptions());
            QCOMPARE(beeps.count(), run); // and start-up's Clear
            QCOMPARE(errors.size(), 2);
            QCOMPARE(gridTexts(grid()), texts);
            QCOMPARE(portShown(), QStringLiteral("1"));
            QVERIFY(form->isVisible() && !QApplication::overrideCursor());
            if (run == 2)
                download();
        }

        // The port's tooltip asks afresh whether a device is there.
        QCOMPARE(portTip(), "Port 1: " + pty->slavePath() + ", present");
        pty.reset();
        QCOMPARE(portTip(), "Port 1: /none/tty1, nothing plugged in");
    }

    // The window destroyed at any moment of a download, as deleting it or the application
    // quitting does, with input still queued for it: the port is closed at once, what went out is
    // the beginning of the frame, the busy cursor is gone, and a new window downloads through the
    // same device, given by name (orvane --device) as its tooltip says.
    void destroyedDuringADownload_data() {
        QTest::addColumn<QString>("at"); // the caption, or "drain": the last character arrived
        QTest::addColumn<QString>("line");
        const auto row = [](const char* name, const char* at, const char* line) {
            QTest::newRow(name) << QString(at) << QString(line);
        };
        row("after start", "Download Start ......", "");
        row("mid-frame, held", "20", "hold");
        row("mid-frame, full", "20", "fill");
        row("during drain", "drain", "");
    }
    void destroyedDuringADownload() {
        QFETCH(QString, at);
        QFETCH(QString, line);
        pty = std::make_unique<PseudoTerminal>();
        QString port1 = pty->slavePath();
        const PortTable::ScopedDeviceResolver resolver([&](int) { return port1; });
        showForm();
        int filled = 0;
        QByteArray arrived;
        connect(form.get(), &QWidget::windowTitleChanged, this, [&](const QString& title) {
            if (title != at)
                return;
            if (line == "hold")
                QVERIFY(pty->hold());
            else if (line == "fill")
                filled = pty->fill();
            QTimer::singleShot(line.isEmpty() ? 0 : 100, this, [this] { destroyForm(); });
        });
        QSocketNotifier arriving(pty->masterFd(), QSocketNotifier::Read);
        connect(&arriving, &QSocketNotifier::activated, this, [&] {
            arrived += pty->read(1 << 20, 0);
            if (at == "drain" && arrived.size() == DownloadFrame::Length)
                destroyForm();
        });
        arriving.setEnabled(at == "drain");
        captions.clear();
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

        port1 = QStringLiteral("/none/tty1");
        showForm();
        form->setDevice(pty->slavePath());
        QCOMPARE(portTip(),
                 "Down Load sends to " + pty->slavePath() + " (given by --device), not to port 1");
        download();
        QCOMPARE(errors, QStringList());
        QCOMPARE(captions, downloadCaptions());
        QCOMPARE(pty->read(DownloadFrame::Length), Frame);
        form.reset();
    }
};

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
