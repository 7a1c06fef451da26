// The grid control, the editing commands and the undo history, on a real widget.

#include "gridprobe.h"
#include "patternhistory.h"

#include <QSignalSpy>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

class TestPattern : public QObject {
    Q_OBJECT

    QWidget* window = nullptr; // the grid hides and shows itself, so it lives inside a window
    FlexGrid* grid = nullptr;

    QPoint current() const { return {grid->ColSel(), grid->RowSel()}; } // (column, row)

private slots:
    void init() {
        window = new QWidget;
        grid = new FlexGrid(window);
        grid->resize(889, 145);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        ClearPattern(*grid);
    }
    void cleanup() { delete window; }

    // A text write colours nothing until a repaint does; a toggle lights "B", darkens the rest.
    void coloursFollowTheTextsWhenAsked() {
        BeepCounter beeps;
        const QStringList kinds = {LitText, DarkText, QString(), u"r"_s, u"RR"_s, u"X"_s};
        DotPattern texts;
        for (int row = 1; row <= kinds.size(); ++row) {
            texts.setText(row, 0, kinds[row - 1]);
            grid->setTextMatrix(row, 0, kinds[row - 1]);
        }
        QCOMPARE(shownColour(grid->grab().toImage(), *grid, 1, 0), DarkColour);
        RepaintPattern(*grid);
        verifyPicture(*grid, texts);
        QCOMPARE(beeps.n, 0);
        for (int row = 1; row <= kinds.size(); ++row) {
            clickCell(*grid, row, 0);
            TogglePattern(*grid);
        }
        verifyPicture(*grid, picture({{0, 2}}));
    }

    // The caret is a bar down the left edge of its column; at 50, inside column 50's right edge.
    void caretIsDrawn() {
        for (int caret : {0, 7, 50}) {
            grid->setCaretColumn(caret);
            const QImage image = grid->grab().toImage();
            for (int col = 0; col <= PatternCols; ++col) // down to the last row
                QCOMPARE(image.pixel(col < PatternCols ? grid->cellRect(1, col).left() + 1
                                                       : grid->width() - 2,
                                     grid->height() - 3) == FlexGrid::CaretColor,
                         col == caret);
        }
    }

    // Left clicks on data cells (corners too) and Enter click; arrows and End stop at the edges.
    void clicksAndKeys() {
        QSignalSpy clicks(grid, &FlexGrid::Click);
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(0, 5).center());
        QTest::mouseClick(grid, Qt::RightButton, {}, grid->cellRect(2, 5).center());
        QCOMPARE(clicks.count(), 0);
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(0, grid->cellRect(1, 0).top()));
        QCOMPARE(current(), QPoint(0, 1));
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(888, 144));
        QCOMPARE(current(), QPoint(49, 8));
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Left})
            QTest::keyClick(grid, key);
        QCOMPARE(current(), QPoint(48, 7));
        QTest::keyClick(grid, Qt::Key_End);
        QCOMPARE(current(), QPoint(49, 7));
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(clicks.count(), 3);
    }

    // A step holds all its edit changed, nested or speed alone; undo puts back speed and caret.
    void historyStepsAndSpeed() {
        int speed = StartSpeed;
        PatternHistory history(
            *grid, [&] { return speed; }, [&](int value) { speed = value; });
        history.record(u"outer"_s, [&] {
            history.record(u"inner"_s, [&] { SetPattern(*grid); });
            grid->setCaretColumn(3);
            speed = 7;
        });
        history.record(u"Speed"_s, [&] { speed = 9; });
        QList<QPoint> seen; // (speed, caret)
        for (int index : {1, 0, 1, 2}) {
            history.stack().setIndex(index);
            seen << QPoint(speed, grid->caretColumn());
            verifyPicture(*grid, index ? picture({}, LitText) : DotPattern());
        }
        QCOMPARE(seen, (QList<QPoint>{{7, 3}, {StartSpeed, 0}, {7, 3}, {9, 3}}));
    }

    // Beyond the limit the oldest steps go; the newest StepLimit can all be taken back.
    void historyKeepsTheNewestStepLimitSteps() {
        PatternHistory history(
            *grid, [] { return StartSpeed; }, [](int) {});
        clickCell(*grid, 1, 0);
        for (int i = 0; i <= PatternHistory::StepLimit; ++i)
            history.record(u"Toggle"_s, [&] { TogglePattern(*grid); });
        history.stack().setIndex(0); // what the one dropped toggle left
        verifyPicture(*grid, picture({{0, 1}}));
    }
};

QTEST_MAIN(TestPattern)
#include "tst_pattern.moc"
