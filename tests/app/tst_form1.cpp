// The editor window through real clicks, keys and drops under the offscreen platform: start-up,
// the speed bar, undo and redo, text typed on the grid and files dropped on the window.

#include "editing.h"
#include "errorreport.h"
#include "eventloop.h"
#include "form1.h"
#include "gridprobe.h"
#include "imageimport.h"
#include "porttable.h"
#include "testfiles.h"
#include "windowfixture.h"
#if !defined(Q_OS_WIN)
#include "pty.h"
#endif

#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QScrollBar>
#include <QTest>
#include <QThreadPool>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

class TestForm1 : public WindowFixture {
    Q_OBJECT

    const QStringList dark = QStringList(PatternRows * PatternCols, DarkText);
    const QStringList lit = QStringList(PatternRows * PatternCols, LitText);

    QScrollBar* bar() { return control<QScrollBar>(*form, "HScroll1"); }
    QString text(const char* label) { return control<QLabel>(*form, label)->text(); }
    void verifySpeed(int speed) {
        QCOMPARE(bar()->value(), speed);
        QCOMPARE(text("Label4"), QString::number(speed));
    }
    // The grid's texts, and its colours lit exactly where "R".
    void verifyPicture(const QStringList& texts) {
        QCOMPARE(gridTexts(*grid()), texts);
        const QImage image = snapshot(*grid());
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(shownColour(image, *grid(), 1 + i % PatternRows, i / PatternRows),
                     isLit(texts[i]) ? LitColour : DarkColour);
    }
    static QByteArray sentFrame(const QString& text) {
        QProcess send;
        send.start(QStringLiteral(ORVANE_SEND), {u"--text"_s, text, u"--frame"_s});
        return send.waitForFinished(30000) ? send.readAllStandardOutput() : QByteArray();
    }
    // Drags the file onto the window and drops it there if the window takes it.
    bool drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (enter.isAccepted())
            QCoreApplication::sendEvent(form.get(), &dropped);
        return enter.isAccepted();
    }

private slots:
    void initTestCase() { configureImageReading(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // Dark after one beep, on port 1 at speed 5; the start-up picture is no undo step. The speed
    // bar runs from 1 to 9, a step per click.
    void startsDarkOnPortOneAtSpeedFive() {
        undo();
        QCOMPARE(form->history().stack().count(), 0);
        QCOMPARE(beeps->count(), 1);
        verifyPicture(dark);
        QCOMPARE(current(), QPoint(49, 8));
        QCOMPARE(text("Label1"), u"1"_s);
        verifySpeed(5);
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left}) {
            for (int i = 0; i < 12; ++i)
                QTest::keyClick(bar(), key);
            verifySpeed(key == Qt::Key_Right ? 9 : 1);
        }
        QTest::mouseClick(bar(), Qt::LeftButton, {}, QPoint(bar()->width() * 3 / 4, 12));
        verifySpeed(2);
    }

    void editsAreUndoneAndRedone_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeySequence>("redo");
        const QKeySequence shiftZ(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), ctrlY(Qt::CTRL | Qt::Key_Y);
        QTest::newRow("grid") << "MSFlexGrid1" << shiftZ;
        QTest::newRow("Clear") << "Command1" << ctrlY;
        QTest::newRow("Down Load") << "Command4" << shiftZ;
        QTest::newRow("speed bar") << "HScroll1" << ctrlY;
    }
    // Clicks and Enter toggle without a beep, Set and Clear fill with one; each is a step (Clear
    // on a dark picture none, the speed bar never), undone and redone by keys whichever control
    // has the focus, without a beep, leaving the current cell, speed, port and caption alone.
    void editsAreUndoneAndRedone() {
        QFETCH(QString, focus);
        QFETCH(QKeySequence, redo);
        QList<QStringList> pictures = {dark, dark, dark, lit, dark};
        pictures[1][0] = pictures[2][0] = pictures[2][1] = LitText;
        clickCell(*grid(), 1, 0);
        QTest::keyClick(grid(), Qt::Key_Down);
        QTest::keyClick(grid(), Qt::Key_Return);
        verifyPicture(pictures[2]);
        QCOMPARE(beeps->count(), 1);
        press(*form, "Command5");
        verifyPicture(lit);
        QCOMPARE(beeps->count(), 2);
        press(*form, "Command1");
        press(*form, "Command1");
        verifyPicture(dark);
        QCOMPARE(beeps->count(), 4);
        QVERIFY(grid()->isVisible());
        bar()->setValue(7);
        QCOMPARE(form->history().stack().count(), 4);
        control<QWidget>(*form, qPrintable(focus))->setFocus();
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        for (int i = 3; i >= 0; --i) {
            undo();
            verifyPicture(pictures[i]);
        }
        QCOMPARE(current(), QPoint(49, 8));
        for (int i = 1; i <= 4; ++i) {
            key(redo);
            verifyPicture(pictures[i]);
        }
        QCOMPARE(beeps->count(), 4);
        QCOMPARE(current(), QPoint(49, 8));
        verifySpeed(7);
        QCOMPARE(text("Label1"), u"1"_s);
        QCOMPARE(form->windowTitle(), Form1::designCaption());
    }

    // A download takes no keys: Ctrl+Z pressed while it runs is dropped, not queued.
    void noUndoWhileDownloading() {
#if defined(Q_OS_WIN)
        QSKIP("downloads into a pseudo-terminal, which Windows has not");
#else
        PseudoTerminal pty;
        const PortTable::ScopedDeviceResolver resolver([&](int) { return pty.slavePath(); });
        clickCell(*grid(), 1, 49);
        bool pressed = false;
        connect(form.get(), &QWidget::windowTitleChanged, this, [&](const QString& title) {
            if (title == "5"_L1 && !std::exchange(pressed, true))
                undo();
        });
        press(*form, "Command4");
        QVERIFY(runUntil([&] { return !form->downloading(); }));
        QVERIFY(pressed);
        QCoreApplication::processEvents();
        QCOMPARE(grid()->TextMatrix(1, 49), LitText);
        undo(); // taken again once the download is over
        QCOMPARE(grid()->TextMatrix(1, 49), DarkText);
#endif
    }

    // Typed from column 0, text makes the frame orvane-send --text makes; control keys type
    // nothing; the cursor keeps its row.
    void typesWhatTextSends_data() {
        QTest::addColumn<QString>("keys");
        QTest::newRow("HI") << u"HI"_s;
        QTest::newRow("words") << u"Open 9-17"_s;
        QTest::newRow("past the edge") << u"ABCDEFGHIJKLM"_s;
        QTest::newRow("Latin-1") << u"éx"_s;
    }
    void typesWhatTextSends() {
        QFETCH(QString, keys);
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Home, Qt::Key_Escape})
            QTest::keyClick(grid(), key);
        QTest::keyClick(grid(), Qt::Key_B, Qt::ControlModifier);
        for (const QChar c : keys) // Latin-1 keys are coded as their upper-case character
            QTest::sendKeyEvent(QTest::Click, grid(), Qt::Key(c.toUpper().unicode()), QString(c),
                                {});
        QCOMPARE(frame(), sentFrame(keys));
        QCOMPARE(grid()->RowSel(), 7);
    }

    // Backspace takes back the characters typed last, one by one, and Ctrl+Z the Backspace; a
    // move of the cursor ends what Backspace can take back.
    void backspaceAndUndo() {
        QTest::keyClicks(grid(), u"H"_s);
        const QByteArray afterH = frame();
        QTest::keyClicks(grid(), u"I"_s);
        const QByteArray afterI = frame();
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QCOMPARE(frame(), afterH);
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QCOMPARE(frame(), sentFrame(QString()));
        undo();
        undo();
        QCOMPARE(frame(), afterI);
        QTest::keyClick(grid(), Qt::Key_Left);
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QCOMPARE(frame(), afterI);
    }

    // A dropped pattern file is Load and a dropped image an import that keeps the speed, each
    // one undo step that puts back texts and speed together; a dropped pipe names itself. The
    // image is decoded on another thread: until it is shown the window shows it is busy and takes
    // no input (a click on Set, Ctrl+Z, another drop); a window closed meanwhile does not wait.
    void dropsFiles() {
        QTemporaryDir dir;
        QVERIFY(drop(
            writeFile(dir, u"drop.txt"_s, patternFile({"rX", "", "BBBBBBBB", "RRRRRRRR"}, " 9 "))));
        const QStringList loaded = gridTexts(*grid());
        QCOMPARE(loaded.mid(0, 3), QStringList({"r", "X", ""}));
        QCOMPARE(frame().mid(7, 2), "FF");
        verifySpeed(9);
        QImage image(50, 8, QImage::Format_RGB32);
        image.fill(Qt::black);
        image.setPixel(49, 7, qRgb(255, 255, 255));
        const QString imagePath = dir.filePath(u"logo.txt"_s); // the content decides
        QVERIFY(image.save(imagePath, "PNG"));
        QVERIFY(drop(imagePath) && form->importing());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        press(*form, "Command5");
        undo();
        QVERIFY(!drop(imagePath));
        verifyPicture(loaded);
        QTRY_VERIFY(!form->importing());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(frame(), "S" + QByteArray(98, '0') + "015");
        verifySpeed(9);
        undo();
        verifyPicture(loaded);
        undo();
        verifyPicture(dark);
        verifySpeed(5);
        key(QKeySequence(Qt::CTRL | Qt::Key_Y));
        verifyPicture(loaded);
        verifySpeed(9);
        QCOMPARE(beeps->count(), 1);
        const QString pipe = makeNamedPipe(dir, u"pipe.png"_s);
        QVERIFY(!pipe.isEmpty() && drop(pipe));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.takeFirst().left(pipe.size() + 2), pipe + ": ");
        verifyPicture(loaded);
        QVERIFY(drop(imagePath) && form->importing());
        form.reset();
        QVERIFY(!QApplication::overrideCursor());
        QThreadPool::globalInstance()->waitForDone();
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
