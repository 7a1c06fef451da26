// The grid control and the editing commands, on a real widget under the offscreen platform.

#include "dotpattern.h"
#include "editing.h"
#include "flexgrid.h"
#include "gridprobe.h"

#include <QSignalSpy>
#include <QTest>

using namespace orvane;
using namespace orvane::testing;

namespace {

constexpr QSize GridSize(889, 145);

// Every data cell with its shown colour and text, checked against what its text asks for.
void verifyColoursFollowTexts(FlexGrid& grid) {
    const QImage image = snapshot(grid);
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row) {
            const quint32 want = isLit(grid.TextMatrix(row, col)) ? LitColour : DarkColour;
            QVERIFY2(shownColour(image, grid, row, col) == want,
                     qPrintable(QStringLiteral("cell (%1, %2)").arg(row).arg(col)));
        }
}

} // namespace

class TestPattern : public QObject {
    Q_OBJECT

    QWidget* window = nullptr; // the grid hides and shows itself, so it lives inside a window
    FlexGrid* grid = nullptr;

private slots:
    void init() {
        window = new QWidget;
        grid = new FlexGrid(window);
        grid->setGeometry(QRect(QPoint(0, 0), GridSize));
        window->resize(GridSize);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanup() { delete window; }

    void cellColourIsPerCellAndSurvivesTextWrites() {
        grid->setRow(2);
        grid->setCol(3);
        grid->setCellBackColor(LitColour);
        grid->setTextMatrix(2, 3, QStringLiteral("X"));
        grid->setTextMatrix(5, 7, QStringLiteral("R"));
        QCOMPARE(grid->TextMatrix(2, 3), QStringLiteral("X"));
        // Text writes move neither the current cell nor any colour.
        QCOMPARE(grid->RowSel(), 2);
        QCOMPARE(grid->ColSel(), 3);
        const QImage image = snapshot(*grid);
        QCOMPARE(shownColour(image, *grid, 2, 3), LitColour);
        QCOMPARE(shownColour(image, *grid, 5, 7), DarkColour);
        QCOMPARE(shownColour(image, *grid, 2, 4), DarkColour);
        QCOMPARE(shownColour(image, *grid, 3, 3), DarkColour);
    }

    void hiddenGridAcceptsEveryOperation() {
        grid->setVisible(false);
        grid->setTextMatrix(8, 49, QStringLiteral("R"));
        grid->setRow(8);
        grid->setCol(49);
        grid->setCellBackColor(LitColour);
        grid->setVisible(true);
        QCOMPARE(grid->TextMatrix(8, 49), QStringLiteral("R"));
        QCOMPARE(shownColour(snapshot(*grid), *grid, 8, 49), LitColour);
    }

    void allColumnsFitWithoutScrolling() {
        const QRect last = grid->cellRect(8, 49);
        QCOMPARE(last.right(), GridSize.width() - 1);
        QCOMPARE(last.bottom(), GridSize.height() - 1);
        QVERIFY(grid->cellRect(1, 0).width() >= 17);
        QVERIFY(grid->cellRect(1, 0).height() >= 15);
    }

    void currentCellKeepsItsColourWhenFocused() {
        SetPattern(*grid);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        grid->setFocus();
        QVERIFY(grid->hasFocus());
        QCOMPARE(shownColour(snapshot(*grid), *grid, 8, 49), LitColour);
    }

    void clearAndSetRewriteEveryCellAndBeep() {
        BeepCounter beeps;
        grid->setTextMatrix(4, 20, QStringLiteral("r"));
        SetPattern(*grid);
        SetPattern(*grid); // already all lit: still rewrites and beeps
        QCOMPARE(beeps.count(), 2);
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                QCOMPARE(grid->TextMatrix(row, col), LitText);
        verifyColoursFollowTexts(*grid);
        QCOMPARE(grid->RowSel(), 8);
        QCOMPARE(grid->ColSel(), 49);
        QVERIFY(grid->isVisible());

        ClearPattern(*grid);
        ClearPattern(*grid);
        QCOMPARE(beeps.count(), 4);
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                QCOMPARE(grid->TextMatrix(row, col), DarkText);
        verifyColoursFollowTexts(*grid);
        QCOMPARE(grid->RowSel(), 8);
        QCOMPARE(grid->ColSel(), 49);
    }

    void toggleFlipsTheClickedCell() {
        ClearPattern(*grid);
        connect(grid, &FlexGrid::Click, grid, [this] { TogglePattern(*grid); });
        clickCell(*grid, 3, 10);
        QCOMPARE(grid->TextMatrix(3, 10), LitText);
        QCOMPARE(grid->RowSel(), 3);
        QCOMPARE(grid->ColSel(), 10);
        QCOMPARE(shownColour(snapshot(*grid), *grid, 3, 10), LitColour);
        clickCell(*grid, 3, 10);
        QCOMPARE(grid->TextMatrix(3, 10), DarkText);
        QCOMPARE(shownColour(snapshot(*grid), *grid, 3, 10), DarkColour);
        // Corner cells too: the edges of the widget belong to them.
        clickCell(*grid, 1, 0);
        clickCell(*grid, 8, 49);
        QCOMPARE(grid->TextMatrix(1, 0), LitText);
        QCOMPARE(grid->TextMatrix(8, 49), LitText);
    }

    void foreignTextsNeedTwoClicksToLight_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("lower case") << QStringLiteral("r");
        QTest::newRow("empty") << QString();
        QTest::newRow("other") << QStringLiteral("X");
    }
    void foreignTextsNeedTwoClicksToLight() {
        QFETCH(QString, text);
        ClearPattern(*grid);
        grid->setTextMatrix(6, 30, text);
        RepaintPattern(*grid);
        QCOMPARE(shownColour(snapshot(*grid), *grid, 6, 30), DarkColour);
        connect(grid, &FlexGrid::Click, grid, [this] { TogglePattern(*grid); });
        clickCell(*grid, 6, 30);
        QCOMPARE(grid->TextMatrix(6, 30), DarkText);
        QCOMPARE(shownColour(snapshot(*grid), *grid, 6, 30), DarkColour);
        clickCell(*grid, 6, 30);
        QCOMPARE(grid->TextMatrix(6, 30), LitText);
        QCOMPARE(shownColour(snapshot(*grid), *grid, 6, 30), LitColour);
    }

    void clicksOutsideDataCellsDoNothing() {
        QSignalSpy clicks(grid, &FlexGrid::Click);
        QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, grid->cellRect(0, 5).center());
        QTest::mouseClick(grid, Qt::RightButton, Qt::NoModifier, grid->cellRect(2, 5).center());
        QCOMPARE(clicks.count(), 0);
        QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, grid->cellRect(2, 5).center());
        QCOMPARE(clicks.count(), 1);
    }

    void keyboardMovesAndToggles() {
        ClearPattern(*grid);
        connect(grid, &FlexGrid::Click, grid, [this] { TogglePattern(*grid); });
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down); // already on the last row: stays
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Up);
        QTest::keyClick(grid, Qt::Key_Left);
        QCOMPARE(grid->RowSel(), 7);
        QCOMPARE(grid->ColSel(), 48);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(grid->TextMatrix(7, 48), LitText);
        QTest::keyClick(grid, Qt::Key_Home);
        QCOMPARE(grid->ColSel(), 0);
        QTest::keyClick(grid, Qt::Key_End);
        QCOMPARE(grid->ColSel(), 49);
        QCOMPARE(grid->RowSel(), 7);
    }

    // Printable keys, Space and an input method's commit are typed; control keys are not.
    void keyboardTypes() {
        QSignalSpy typed(grid, &FlexGrid::KeyTyped);
        QSignalSpy backspaces(grid, &FlexGrid::BackspacePressed);
        grid->setFocus();
        QTest::keyClicks(grid, QStringLiteral("H"));
        QTest::sendKeyEvent(QTest::Click, grid, Qt::Key_Eacute, QStringLiteral("é"), {});
        QTest::keyClicks(grid, QStringLiteral(" 1"));
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Tab);
        QTest::keyClick(grid, Qt::Key_Backspace);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("Ж"));
        QCoreApplication::sendEvent(grid, &commit);
        QStringList texts;
        for (const QList<QVariant>& signal : typed)
            texts << signal.at(0).toString();
        QCOMPARE(texts, QStringList({"H", "é", " ", "1", "Ж"}));
        QCOMPARE(backspaces.count(), 1);
    }

    void repaintColoursExactlyTheLitCells() {
        ClearPattern(*grid);
        BeepCounter beeps;
        const QStringList texts = {QStringLiteral("R"), QStringLiteral("B"),  QString(),
                                   QStringLiteral("r"), QStringLiteral("RR"), QStringLiteral("X")};
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                grid->setTextMatrix(row, col, texts[(row * 7 + col) % texts.size()]);
        // Before the repaint the new texts show their old colour.
        QCOMPARE(grid->TextMatrix(6, 0), LitText);
        QCOMPARE(shownColour(snapshot(*grid), *grid, 6, 0), DarkColour);
        RepaintPattern(*grid);
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                QCOMPARE(grid->TextMatrix(row, col), texts[(row * 7 + col) % texts.size()]);
        verifyColoursFollowTexts(*grid);
        QCOMPARE(beeps.count(), 0);
        QCOMPARE(grid->RowSel(), 8);
        QCOMPARE(grid->ColSel(), 49);
    }

    void formatStringLabelsTheHeader() {
        grid->setFormatString(QStringLiteral(" 1| 2|10"));
        QCOMPARE(grid->TextMatrix(0, 0), QStringLiteral(" 1"));
        QCOMPARE(grid->TextMatrix(0, 2), QStringLiteral("10"));
        QCOMPARE(grid->TextMatrix(0, 3), QString());
    }
};

QTEST_MAIN(TestPattern)
#include "tst_pattern.moc"
