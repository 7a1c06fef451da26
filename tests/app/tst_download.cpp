// Downloads through the window: Up and Dn, "Down Load" into a real pseudo-terminal, the caption's
// progress, and what the window does when the port cannot be opened or goes away.

#include <QtGlobal>
#if defined(Q_OS_WIN)
#include "errorreport.h"
#include "form1.h"
#include "gridprobe.h"

#include <QLabel>

using namespace orvane;
using namespace orvane::testing;

// Windows has no pseudo-terminals: under Wine, tests/windows/serial.py maps a COM port to one,
// names it in ORVANE_TEST_COM_PORT, runs this and checks what arrives there.
class TestDownload : public QObject {
    Q_OBJECT

private slots:
    // Up to the port, and "Down Load" of column 0 lit in rows 1, 3 and 8 and column 49 in row 2
    // at speed 5, with the captions in order and no message.
    void downloads() {
        const int port = qEnvironmentVariableIntValue("ORVANE_TEST_COM_PORT");
        if (port < 1)
            QSKIP("downloads into pseudo-terminals, which Windows has not; "
                  "tests/windows/serial.py runs this under Wine with a COM port mapped to one");
        QStringList captions, errors;
        setErrorHandler([&](QWidget*, const QString&, const QString& text) { errors << text; });
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        connect(&form, &QWidget::windowTitleChanged, this,
                [&](const QString& title) { captions << title; });
        auto& grid = *control<FlexGrid>(form, "MSFlexGrid1");
        for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
            clickCell(grid, row, col);
        for (int n = 1; n < port; ++n)
            press(form, "Command6");
        QCOMPARE(control<QLabel>(form, "Label1")->text(), QString::number(port));
        press(form, "Command4");
        QTRY_VERIFY_WITH_TIMEOUT(!form.downloading(), 60000);
        QCOMPARE(errors, QStringList());
        QCOMPARE(captions.size(), 52);
        QCOMPARE(captions.first(), QStringLiteral("Download Start ......"));
        QCOMPARE(captions.at(50), QStringLiteral("49"));
        QCOMPARE(captions.last(), QStringLiteral("Data Out Complete !"));
    }
};
#else
#include "errorreport.h"
#include "form1.h"
#include "gridprobe.h"
#include "porttable.h"
#include "pty.h"
#include "serialport.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QScrollBar>

#include <memory>
#include <termios.h>

using namespace orvane;
using namespace orvane::testing;

namespace {

QStringList downloadCaptions(int lastColumn = PatternCols - 1) {
    QStringList s{QStringLiteral("Download Start ......")};
    for (int col = 0; col <= lastColumn; ++col)
        s << QString::number(col);
    return lastColumn == PatternCols - 1 ? s << QStringLiteral("Data Out Complete !") : s;
}

} // namespace

class TestDownload : public QObject {
    Q_OBJECT

    std::unique_ptr<PseudoTerminal> pty;
    BeepCounter beeps;
    QStringList captions, errors;
    QString hangUpAt;            // the caption at which the pseudo-terminal's master side is closed
    std::unique_ptr<Form1> form; // last, so that it goes first

    FlexGrid& grid() { return *control<FlexGrid>(*form, "MSFlexGrid1"); }
    QString portShown() { return control<QLabel>(*form, "Label1")->text(); }
    // "Down Load", and the wait until the port is closed again.
    void download() {
        captions.clear();
        press(*form, "Command4");
        QTRY_VERIFY(!form->downloading());
    }

private slots:
    // Up and Dn choose the port within 1..16, and a port with nothing there is reported. The
    // picture and the speed go out as the frame, with the captions in order; a port that goes
    // away midway is reported, and the next download works. While the line is held the window
    // shows it is busy and drops clicks and closing. Neither failure changes anything or beeps.
    void downloads() {
        pty = std::make_unique<PseudoTerminal>();
        QVERIFY(pty->isOpen());
        // Port 1 is the pseudo-terminal; every other number names a device that does not exist.
        PortTable::setDeviceResolver([this](int port) {
            return port == 1 && pty ? pty->slavePath() : QStringLiteral("/none/tty%1").arg(port);
        });
        setErrorHandler([this](QWidget*, const QString&, const QString& text) { errors << text; });
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
        const QStringList texts = gridTexts(grid());
        for (int port = 2; port <= 17; ++port) {
            press(*form, "Command6");
            QCOMPARE(portShown(), QString::number(std::min(port, 16)));
        }
        download();
        QCOMPARE(errors, QStringList(QStringLiteral(
                                         "Cannot open port 16 (/none/tty16): nothing is plugged in "
                                         "there (No such file or directory). Present now: port 1 "
                                         "(%1).")
                                         .arg(pty->slavePath())));
        QVERIFY(captions.isEmpty());
        for (int port = 15; port >= 0; --port) {
            press(*form, "Command7");
            QCOMPARE(portShown(), QString::number(std::max(port, 1)));
        }

        hangUpAt = QStringLiteral("10");
        download();
        QCOMPARE(errors.last(), QStringLiteral("Sending to port 1 (%1) failed after 23 of 102 "
                                               "characters: Input/output error")
                                    .arg(pty->slavePath()));
        QCOMPARE(captions, downloadCaptions(10));

        hangUpAt.clear();
        pty = std::make_unique<PseudoTerminal>();
        QVERIFY(pty->isOpen() && tcflow(pty->slaveFd(), TCOOFF) == 0); // held: nothing goes out
        captions.clear();
        press(*form, "Command4");
        QVERIFY(form->downloading());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        press(*form, "Command6");
        clickCell(grid(), 1, 1);
        QVERIFY(!form->close());
        QVERIFY(tcflow(pty->slaveFd(), TCOON) == 0);
        QTRY_VERIFY(!form->downloading());
        for (int run = 2; run <= 3; ++run) {
            QCOMPARE(pty->read(DownloadFrame::Length), "SA1" + QByteArray(96, '0') + "407");
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

        // The port's tooltips ask afresh whether a device is there.
        const QString device = pty->slavePath();
        for (const QString& tip : {"Port 1: " + device + ", present",
                                   QStringLiteral("Port 1: /none/tty1, nothing plugged in")}) {
            for (const char* name : {"Label1", "Command6", "Command7"}) {
                QWidget* w = control<QWidget>(*form, name);
                QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
                QApplication::sendEvent(w, &event);
                QCOMPARE(w->toolTip(), tip);
            }
            pty.reset();
        }
    }
};

#endif

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
