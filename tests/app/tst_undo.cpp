// Undo and redo in the window, through real keys and clicks: which commands become steps, what
// the keys put back (texts, colours, speed), and that they work whichever control has the focus.

#include "dotpattern.h"
#include "errorreport.h"
#include "filedialog.h"
#include "flexgrid.h"
#include "form1.h"
#include "gridprobe.h"
#include "pty.h"
#include "serialport.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace orvane;
using namespace orvane::testing;

namespace {

QStringList filled(const QString& text) {
    return QStringList(PatternRows * PatternCols, text);
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString answer; // what the file dialog "chooses"
    QStringList errors;
    std::unique_ptr<BeepCounter> beeps;
    std::unique_ptr<Form1> form;

    template <typename T> T* control(const char* name) {
        T* w = form->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    FlexGrid* grid() { return control<FlexGrid>("MSFlexGrid1"); }
    QScrollBar* bar() { return control<QScrollBar>("HScroll1"); }
    QString speedLabel() { return control<QLabel>("Label4")->text(); }
    void press(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    // The keys go to whichever control has the focus, as a user's would.
    void key(const QKeySequence& keys) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
        QTest::keySequence(target, keys);
    }
    void undo() { key(QKeySequence(Qt::CTRL | Qt::Key_Z)); }
    void redo() { key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)); }

    // Texts and shown colours agree with the expected texts, lit exactly where "R".
    void verifyPicture(const QStringList& texts) {
        QCOMPARE(gridTexts(*grid()), texts);
        const QImage image = snapshot(*grid());
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row) {
                const QString& text = texts[col * PatternRows + row - 1];
                QCOMPARE(shownColour(image, *grid(), row, col),
                         isLit(text) ? LitColour : DarkColour);
            }
    }

private slots:
    void initTestCase() {
        CommonDialog::setAnswer([this] { return answer; });
        setErrorHandler([this](QWidget*, const QString&, const QString& text) { errors << text; });
    }
    void cleanupTestCase() {
        CommonDialog::setAnswer({});
        setErrorHandler({});
        SerialPort::setDeviceResolver({});
    }
    void init() {
        errors.clear();
        beeps = std::make_unique<BeepCounter>();
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        grid()->setFocus();
    }
    void cleanup() {
        form.reset();
        beeps.reset();
    }

    void startUpIsNoStep() {
        undo();
        verifyPicture(filled(DarkText));
        QCOMPARE(form->history().stack().count(), 0);
    }

    void setThenUndoAndRedo_data() {
        QTest::addColumn<QKeySequence>("redoKey");
        QTest::newRow("Ctrl+Shift+Z") << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QTest::newRow("Ctrl+Y") << QKeySequence(Qt::CTRL | Qt::Key_Y);
    }
    void setThenUndoAndRedo() {
        QFETCH(QKeySequence, redoKey);
        const QString caption = form->windowTitle();
        press("Command5");
        QCOMPARE(beeps->count(), 2);
        undo();
        verifyPicture(filled(DarkText));
        key(redoKey);
        verifyPicture(filled(LitText));
        QCOMPARE(beeps->count(), 2); // undo and redo never beep
        QCOMPARE(form->windowTitle(), caption);
    }

    // Click and keyboard toggles are steps of their own; Clear on a dark picture is none.
    void togglesThenClearUndoneOneByOne() {
        clickCell(*grid(), 1, 0);
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Down);
        QTest::keyClick(grid(), Qt::Key_Return); // toggles (2, 0)
        press("Command1");
        press("Command1"); // nothing left to change: no step
        QCOMPARE(beeps->count(), 3);
        QStringList texts = filled(DarkText);
        texts[0] = texts[1] = LitText;
        undo();
        verifyPicture(texts);
        undo();
        texts[1] = DarkText;
        verifyPicture(texts);
        undo();
        verifyPicture(filled(DarkText));
        QCOMPARE(beeps->count(), 3);
    }

    // Load puts back picture and speed together, texts exactly as the file gave them.
    void loadUndoneAndRedoneWithItsSpeed() {
        QByteArray bytes = "rX\r\n\r\nRRRRRRRR\r\n";
        for (int i = 3; i < PatternCols; ++i)
            bytes += "BxBBBBBB\r\n";
        bytes += " 9 \r\n\r\n";
        answer = dir.filePath(QStringLiteral("odd.txt"));
        QFile file(answer);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        press("Command2");
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        const QStringList loaded = gridTexts(*grid());
        QCOMPARE(loaded[0], QStringLiteral("r"));
        QCOMPARE(loaded[2], QString());
        QCOMPARE(bar()->value(), 9);

        const QString caption = form->windowTitle();
        undo();
        verifyPicture(filled(DarkText));
        QCOMPARE(bar()->value(), 5);
        QCOMPARE(speedLabel(), QStringLiteral("5"));
        key(QKeySequence(Qt::CTRL | Qt::Key_Y));
        verifyPicture(loaded);
        QCOMPARE(bar()->value(), 9);
        QCOMPARE(speedLabel(), QStringLiteral("9"));
        QCOMPARE(form->windowTitle(), caption);
        QCOMPARE(beeps->count(), 1);
    }

    // Moving the bar is no step: undo takes back the toggle before it and leaves the speed.
    void speedBarIsNoStep() {
        clickCell(*grid(), 3, 3);
        bar()->setFocus();
        QTest::keyClick(bar(), Qt::Key_Right);
        undo();
        verifyPicture(filled(DarkText));
        QCOMPARE(bar()->value(), 6);
        QCOMPARE(speedLabel(), QStringLiteral("6"));
    }

    void keysWorkWhateverHasTheFocus_data() {
        QTest::addColumn<QString>("focus");
        QTest::newRow("grid") << QStringLiteral("MSFlexGrid1");
        QTest::newRow("Clear") << QStringLiteral("Command1");
        QTest::newRow("Down Load") << QStringLiteral("Command4");
        QTest::newRow("speed bar") << QStringLiteral("HScroll1");
    }
    void keysWorkWhateverHasTheFocus() {
        QFETCH(QString, focus);
        press("Command5");
        auto* target = control<QWidget>(qPrintable(focus));
        target->setFocus();
        QCOMPARE(QApplication::focusWidget(), target);
        undo();
        verifyPicture(filled(DarkText));
        redo();
        verifyPicture(filled(LitText));
        QCOMPARE(bar()->value(), 5);
        QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("1"));
    }

    // Undo keeps the grid's current cell where the user left it.
    void currentCellStays() {
        press("Command5");
        clickCell(*grid(), 4, 7);
        undo();
        undo();
        QCOMPARE(grid()->RowSel(), 4);
        QCOMPARE(grid()->ColSel(), 7);
    }

    // A download takes no keys: Ctrl+Z pressed while it runs is dropped, not queued.
    void noUndoWhileDownloading() {
        PseudoTerminal pty;
        QVERIFY2(pty.isOpen(), qPrintable(pty.error()));
        SerialPort::setDeviceResolver([&](int) { return pty.slavePath(); });
        clickCell(*grid(), 1, 49);
        bool pressed = false;
        connect(form.get(), &QWidget::windowTitleChanged, this, [&](const QString& title) {
            if (title == QLatin1String("5") && !pressed) {
                pressed = true;
                undo();
            }
        });
        press("Command4");
        QTRY_VERIFY(!form->downloading());
        QVERIFY(pressed);
        QVERIFY(errors.isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(grid()->TextMatrix(1, 49), LitText);
        undo(); // taken again once the download is over
        QCOMPARE(grid()->TextMatrix(1, 49), DarkText);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
