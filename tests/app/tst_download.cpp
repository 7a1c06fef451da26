// Downloads through the window: the port buttons, "Down Load" into a real pseudo-terminal, the
// caption's progress, and what the window does when the port cannot be opened or goes away.

#include "download.h"
#include "errorreport.h"
#include "flexgrid.h"
#include "form1.h"
#include "gridprobe.h"
#include "portfolders.h"
#include "pty.h"
#include "serialport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <memory>
#include <termios.h>

using namespace orvane;
using namespace orvane::testing;

namespace {

QStringList downloadCaptions() {
    QStringList s{QStringLiteral("Download Start ......")};
    for (int col = 0; col < PatternCols; ++col)
        s << QString::number(col);
    s << QStringLiteral("Data Out Complete !");
    return s;
}

QString missingDevice(int port) {
    return QStringLiteral("/nonexistent/orvane-tty%1").arg(port);
}

// The tooltip as it is about to show, asked for the way the window system asks.
QString toolTipOf(QWidget* w) {
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &event);
    return w->toolTip();
}

} // namespace

class TestDownload : public QObject {
    Q_OBJECT

    std::unique_ptr<PseudoTerminal> pty;
    std::unique_ptr<BeepCounter> beeps;
    std::unique_ptr<Form1> form;
    QStringList captions;
    QStringList errors;
    std::function<void(const QString&)> onCaption;

    template <typename T> T* control(const char* name) {
        T* w = form->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    FlexGrid* grid() { return control<FlexGrid>("MSFlexGrid1"); }
    QLabel* portLabel() { return control<QLabel>("Label1"); }
    void press(const char* button) {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }
    // "Down Load", and the wait until the port is closed again.
    void download() {
        press("Command4");
        QTRY_VERIFY(!form->downloading());
    }
    void freshPty() {
        pty = std::make_unique<PseudoTerminal>();
        QVERIFY2(pty->isOpen(), qPrintable(pty->error()));
    }

private slots:
    void init() {
        freshPty();
        // Port 1 is the pseudo-terminal; every other number names a device that does not exist.
        SerialPort::setDeviceResolver(
            [this](int port) { return port == 1 ? pty->slavePath() : missingDevice(port); });
        setErrorHandler([this](QWidget*, const QString&, const QString& text) { errors << text; });
        beeps = std::make_unique<BeepCounter>();
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        connect(form.get(), &QWidget::windowTitleChanged, this, [this](const QString& title) {
            captions << title;
            if (onCaption)
                onCaption(title);
        });
    }
    void cleanup() {
        form.reset();
        beeps.reset();
        captions.clear();
        errors.clear();
        onCaption = {};
        setErrorHandler({});
        SerialPort::setDeviceResolver({});
        pty.reset();
    }

    void downloadsThePictureAndTheSpeed() {
        for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
            clickCell(*grid(), row, col);
        control<QScrollBar>("HScroll1")->setValue(7);
        const QByteArray frame = "SA1" + QByteArray(96, '0') + "407";

        for (int run = 1; run <= 2; ++run) {
            captions.clear();
            download();
            QCOMPARE(pty->read(DownloadFrame::Length), frame);
            QCOMPARE(pty->readAvailable(), QByteArray());
            QCOMPARE(captions, downloadCaptions());
            QCOMPARE(form->windowTitle(), QStringLiteral("Data Out Complete !"));
            QCOMPARE(beeps->count(), 1 + run); // start-up's Clear, then one per download
            QVERIFY(errors.isEmpty());
            QVERIFY(!form->comm().PortOpen());
        }
    }

    void upStopsAtSixteenAndDnAtOne() {
        for (int press_ = 1; press_ <= 20; ++press_) {
            press("Command6");
            const int expected = std::min(1 + press_, 16);
            QCOMPARE(portLabel()->text(), QString::number(expected));
            QCOMPARE(form->comm().CommPort(), expected);
            QCOMPARE(portLabel()->toolTip(), QStringLiteral("Port %1: %2, nothing plugged in")
                                                 .arg(expected)
                                                 .arg(missingDevice(expected)));
        }
        // The download uses the chosen port.
        download();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains(QStringLiteral("port 16 (%1)").arg(missingDevice(16))),
                 qPrintable(errors.first()));

        for (int i = 0; i < 15; ++i)
            press("Command7");
        QCOMPARE(portLabel()->text(), QStringLiteral("1"));
        QCOMPARE(portLabel()->toolTip(),
                 QStringLiteral("Port 1: %1, present").arg(pty->slavePath()));
        press("Command7");
        QCOMPARE(portLabel()->text(), QStringLiteral("1"));
        QCOMPARE(form->comm().CommPort(), 1);
    }

    void aMissingPortIsReportedAndChangesNothing() {
        press("Command5"); // a lit picture, to see that it survives
        press("Command6");
        const QStringList texts = gridTexts(*grid());
        const int beepsBefore = beeps->count();
        captions.clear();

        download();
        QCOMPARE(errors.size(), 1);
        for (const QString& part :
             {QStringLiteral("port 2"), missingDevice(2),
              QStringLiteral("No such file or directory"),
              QStringLiteral("Present now: port 1 (%1).").arg(pty->slavePath())})
            QVERIFY2(errors.first().contains(part), qPrintable(errors.first()));
        QVERIFY(captions.isEmpty());
        QCOMPARE(form->windowTitle(), Form1::designCaption());
        QCOMPARE(beeps->count(), beepsBefore);
        QCOMPARE(gridTexts(*grid()), texts);
        QCOMPARE(portLabel()->text(), QStringLiteral("2"));
        QCOMPARE(control<QScrollBar>("HScroll1")->value(), 5);
        QCOMPARE(pty->readAvailable(), QByteArray());

        press("Command7");
        download();
        QCOMPARE(errors.size(), 1);
        QCOMPARE(pty->read(DownloadFrame::Length), "S" + QByteArray(100, 'F') + "5");
    }

    // Port 6 through the port table: the tooltips of the port controls name the device and
    // whether it is there, asked afresh, and the download reaches the adapter.
    void downloadsThroughAnAdapterAtPortSix() {
        SerialPort::setDeviceResolver({});
        PortFolders folders;
        QVERIFY(folders.isValid());
        for (int i = 0; i < 5; ++i)
            press("Command6");
        QCOMPARE(portLabel()->text(), QStringLiteral("6"));
        const QString device = folders.device(QStringLiteral("ttyUSB1"));
        for (const char* name : {"Label1", "Command6", "Command7"})
            QCOMPARE(toolTipOf(control<QWidget>(name)),
                     QStringLiteral("Port 6: %1, nothing plugged in").arg(device));

        QVERIFY(folders.link(QStringLiteral("ttyUSB1"), pty->slavePath()));
        for (const char* name : {"Label1", "Command6", "Command7"})
            QCOMPARE(toolTipOf(control<QWidget>(name)),
                     QStringLiteral("Port 6: %1, present").arg(device));
        download();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
        QCOMPARE(pty->read(DownloadFrame::Length), "S" + QByteArray(100, '0') + "5");
        QCOMPARE(captions, downloadCaptions());

        // Port 5 has nothing plugged in: the message names its device and port 6.
        press("Command7");
        captions.clear();
        download();
        QCOMPARE(errors,
                 QStringList(QStringLiteral("Cannot open port 5 (%1): nothing is plugged in there "
                                            "(No such file or directory). Present now: port 6 "
                                            "(%2).")
                                 .arg(folders.device(QStringLiteral("ttyUSB0")), device)));
        QVERIFY(captions.isEmpty());
        QCOMPARE(pty->readAvailable(), QByteArray());
    }

    void aPortThatGoesAwayIsReportedAndTheNextDownloadWorks() {
        const QString device = pty->slavePath();
        onCaption = [this](const QString& title) {
            if (title == QLatin1String("10"))
                pty->closeMaster();
        };
        download();
        QCOMPARE(errors.size(), 1);
        for (const QString& part :
             {QStringLiteral("port 1 (%1)").arg(device), QStringLiteral("Input/output error")})
            QVERIFY2(errors.first().contains(part), qPrintable(errors.first()));
        QCOMPARE(captions.last(), QStringLiteral("10"));
        QVERIFY(!captions.contains(QStringLiteral("Data Out Complete !")));
        QCOMPARE(beeps->count(), 1);
        QVERIFY(!form->comm().PortOpen());
        QVERIFY(form->isVisible());
        QCOMPARE(portLabel()->text(), QStringLiteral("1"));

        onCaption = {};
        freshPty();
        captions.clear();
        download();
        QCOMPARE(errors.size(), 1);
        QCOMPARE(pty->read(DownloadFrame::Length), "S" + QByteArray(100, '0') + "5");
        QCOMPARE(captions, downloadCaptions());
        QCOMPARE(beeps->count(), 2);
    }

    // The line is held stopped, so the download cannot finish: the window still serves its
    // event loop (timers, painting) the whole time, and finishes once the line moves again.
    void theWindowStaysLiveWhileTheLineIsHeld() {
        QVERIFY(tcflow(pty->slaveFd(), TCOOFF) == 0);
        press("Command4");
        bool liveWhileBusy = false;
        QTimer::singleShot(300, this, [&] { liveWhileBusy = form->downloading(); });
        QTRY_VERIFY(liveWhileBusy);
        QVERIFY(!form->grab().isNull());
        QVERIFY(tcflow(pty->slaveFd(), TCOON) == 0);
        QTRY_VERIFY(!form->downloading());
        QCOMPARE(pty->read(DownloadFrame::Length), "S" + QByteArray(100, '0') + "5");
        QCOMPARE(captions, downloadCaptions());
    }

    // Clicks, keys and closing the window while the frame goes out are dropped, not queued.
    void takesNoInputWhileDownloading() {
        bool busyCursor = false;
        onCaption = [&](const QString& title) {
            if (title != QLatin1String("5"))
                return;
            busyCursor = QApplication::overrideCursor() &&
                         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            QTest::mouseClick(control<QPushButton>("Command6"), Qt::LeftButton);
            clickCell(*grid(), 1, 0);
            QTest::keyClick(grid(), Qt::Key_Return);
            QCoreApplication::postEvent(form.get(), new QCloseEvent);
        };
        download();
        QVERIFY(busyCursor);
        QCOMPARE(pty->read(DownloadFrame::Length), "S" + QByteArray(100, '0') + "5");
        QCOMPARE(captions.last(), QStringLiteral("Data Out Complete !"));
        QCOMPARE(portLabel()->text(), QStringLiteral("1"));
        QCOMPARE(grid()->TextMatrix(1, 0), QStringLiteral("B"));
        QVERIFY(form->isVisible());
        QVERIFY(!QApplication::overrideCursor());

        onCaption = {};
        QCoreApplication::processEvents();
        QVERIFY(form->isVisible());
        press("Command6"); // input is taken again
        QCOMPARE(portLabel()->text(), QStringLiteral("2"));
    }
};

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
