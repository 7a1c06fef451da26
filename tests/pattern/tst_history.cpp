// The undo history on a real grid: what record() makes a step of, what undo and redo write
// back, and the bound on the number of steps.

#include "dotpattern.h"
#include "editing.h"
#include "flexgrid.h"
#include "gridprobe.h"
#include "patternhistory.h"

#include <QTest>

#include <memory>

using namespace orvane;
using namespace orvane::testing;

class TestHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    FlexGrid* grid = nullptr;
    std::unique_ptr<BeepCounter> beeps;
    std::unique_ptr<PatternHistory> history;
    int speed = StartSpeed;
    int speedWrites = 0;

    QUndoStack& stack() { return history->stack(); }

private slots:
    void init() {
        window = std::make_unique<QWidget>();
        grid = new FlexGrid(window.get());
        grid->setGeometry(0, 0, 889, 145);
        window->resize(889, 145);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        beeps = std::make_unique<BeepCounter>();
        ClearPattern(*grid);
        speed = StartSpeed;
        speedWrites = 0;
        history = std::make_unique<PatternHistory>(
            *grid, [this] { return speed; },
            [this](int value) {
                speed = value;
                ++speedWrites;
            });
    }
    void cleanup() {
        history.reset();
        beeps.reset();
        window.reset();
    }

    void nestedRecordsMakeOneStep() {
        history->record(QStringLiteral("outer"), [&] {
            history->record(QStringLiteral("inner"), [&] { SetPattern(*grid); });
            speed = 7;
        });
        QCOMPARE(stack().count(), 1);
        QCOMPARE(stack().undoText(), QStringLiteral("outer"));
        stack().undo();
        QCOMPARE(gridTexts(*grid), QStringList(400, DarkText));
        QCOMPARE(speed, StartSpeed);
    }

    // The speed is written back only by steps that changed it, also when nothing else changed.
    void speedIsWrittenOnlyWhenChanged() {
        history->record(QStringLiteral("Toggle"), [&] { TogglePattern(*grid); });
        history->record(QStringLiteral("Load"), [&] { speed = 9; });
        QCOMPARE(stack().count(), 2);
        stack().undo();
        stack().undo();
        QCOMPARE(speed, StartSpeed);
        stack().redo();
        stack().redo();
        QCOMPARE(speed, 9);
        QCOMPARE(speedWrites, 2);
    }

    // Beyond the limit the oldest steps go; the newest StepLimit can all be taken back.
    void keepsTheNewestStepLimitSteps() {
        const int steps = PatternHistory::StepLimit + 5;
        for (int i = 0; i < steps; ++i) {
            grid->setRow(1 + i % PatternRows);
            grid->setCol(i / PatternRows % PatternCols);
            history->record(QStringLiteral("Toggle"), [&] { TogglePattern(*grid); });
        }
        const QStringList last = gridTexts(*grid);
        QCOMPARE(stack().count(), PatternHistory::StepLimit);
        while (stack().canUndo())
            stack().undo();
        // What remains is the picture after the 5 dropped toggles: cells 0..4 lit.
        QStringList expected(400, DarkText);
        for (int i = 0; i < 5; ++i)
            expected[i] = LitText;
        QCOMPARE(gridTexts(*grid), expected);
        while (stack().canRedo())
            stack().redo();
        QCOMPARE(gridTexts(*grid), last);
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
