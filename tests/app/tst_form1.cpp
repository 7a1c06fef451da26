// The editor window as a whole: start-up, the editing buttons, the grid and the speed bar,
// driven through real clicks and keys under the offscreen platform.

#include "dotpattern.h"
#include "flexgrid.h"
#include "form1.h"
#include "gridprobe.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace orvane;
using namespace orvane::testing;

class TestForm1 : public QObject {
    Q_OBJECT

    std::unique_ptr<BeepCounter> beeps;
    std::unique_ptr<Form1> form;

    template <typename T> T* control(const char* name) {
        T* w = form->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    FlexGrid* grid() { return control<FlexGrid>("MSFlexGrid1"); }

private slots:
    void init() {
        beeps = std::make_unique<BeepCounter>();
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() {
        form.reset();
        beeps.reset();
    }

    void startsDarkOnPortOneAtSpeedFive() {
        QCOMPARE(beeps->count(), 1);
        const QImage image = snapshot(*grid());
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row) {
                QCOMPARE(grid()->TextMatrix(row, col), QStringLiteral("B"));
                QCOMPARE(shownColour(image, *grid(), row, col), DarkColour);
            }
        QCOMPARE(grid()->TextMatrix(0, 0), QStringLiteral(" 1"));
        QCOMPARE(grid()->TextMatrix(0, 8), QStringLiteral(" 9"));
        QCOMPARE(grid()->TextMatrix(0, 9), QStringLiteral("10"));
        QCOMPARE(grid()->TextMatrix(0, 49), QStringLiteral("50"));
        QCOMPARE(grid()->RowSel(), 8);
        QCOMPARE(grid()->ColSel(), 49);
        QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("1"));
        QCOMPARE(control<QLabel>("Label4")->text(), QStringLiteral("5"));
        QCOMPARE(control<QScrollBar>("HScroll1")->value(), 5);
    }

    void captionIsTheDesignCaptionUnchanged() {
        const QString caption = form->windowTitle();
        QCOMPARE(caption.size(), 174);
        QVERIFY(caption.startsWith(QStringLiteral("Orvane   Corvel Electronics co.")));
        QCOMPARE(caption.mid(31, 127), QString(127, QLatin1Char(' ')));
        QCOMPARE(caption.mid(158).size(), 16);
        QVERIFY(!caption.at(158).isSpace());
    }

    void controlsStandWhereTheLayoutPutsThem() {
        QCOMPARE(form->size(), QSize(922, 222));
        QCOMPARE(grid()->geometry(), QRect(16, 8, 889, 145));
        QCOMPARE(control<QPushButton>("Command5")->geometry(), QRect(16, 168, 97, 41));
        QCOMPARE(control<QPushButton>("Command1")->geometry(), QRect(128, 168, 97, 41));
        QCOMPARE(control<QPushButton>("Command4")->geometry().right(), grid()->geometry().right());
        QCOMPARE(control<QScrollBar>("HScroll1")->geometry(), QRect(464, 176, 81, 25));
        const QStringList texts = {QStringLiteral("Clear"), QStringLiteral("Load"),
                                   QStringLiteral("Save"),  QStringLiteral("Down Load"),
                                   QStringLiteral("Set"),   QStringLiteral("Up"),
                                   QStringLiteral("Dn")};
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(
                control<QPushButton>(qPrintable(QStringLiteral("Command%1").arg(i + 1)))->text(),
                texts[i]);
        QCOMPARE(control<QLabel>("Label2")->text(), QStringLiteral("Com N"));
        QCOMPARE(control<QLabel>("Label3")->text(), QStringLiteral("Speed -"));
    }

    void tabOrderFollowsTheControlTable() {
        const char* order[] = {"MSFlexGrid1", "Command1", "Command2", "Command3", "Command4",
                               "Command5",    "Command6", "Command7", "HScroll1"};
        QWidget* w = grid();
        for (size_t i = 1; i < std::size(order); ++i) {
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus)
                w = w->nextInFocusChain();
            QCOMPARE(w->objectName(), QLatin1String(order[i]));
        }
    }

    void clicksToggleAndButtonsFill() {
        clickCell(*grid(), 1, 0);
        QCOMPARE(grid()->TextMatrix(1, 0), QStringLiteral("R"));
        QCOMPARE(shownColour(snapshot(*grid()), *grid(), 1, 0), LitColour);
        clickCell(*grid(), 1, 0);
        QCOMPARE(grid()->TextMatrix(1, 0), QStringLiteral("B"));
        QCOMPARE(shownColour(snapshot(*grid()), *grid(), 1, 0), DarkColour);
        QCOMPARE(beeps->count(), 1); // toggles do not beep

        QTest::mouseClick(control<QPushButton>("Command5"), Qt::LeftButton);
        QCOMPARE(beeps->count(), 2);
        QCOMPARE(grid()->TextMatrix(4, 25), QStringLiteral("R"));
        QCOMPARE(shownColour(snapshot(*grid()), *grid(), 4, 25), LitColour);
        QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(beeps->count(), 3);
        QCOMPARE(grid()->TextMatrix(4, 25), QStringLiteral("B"));
        QCOMPARE(shownColour(snapshot(*grid()), *grid(), 4, 25), DarkColour);
    }

    void speedBarRunsFromOneToNine() {
        auto* bar = control<QScrollBar>("HScroll1");
        auto* label = control<QLabel>("Label4");
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->value(), 9);
        QCOMPARE(label->text(), QStringLiteral("9"));
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(bar, Qt::Key_Left);
        QCOMPARE(bar->value(), 1);
        QCOMPARE(label->text(), QStringLiteral("1"));
        bar->setValue(0);
        QCOMPARE(bar->value(), 1);
        bar->setValue(10);
        QCOMPARE(bar->value(), 9);
        QCOMPARE(label->text(), QStringLiteral("9"));
        // A click in the trough moves one step, as the bar's arrows do.
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 4, 12));
        QCOMPARE(bar->value(), 8);
        QCOMPARE(label->text(), QStringLiteral("8"));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
