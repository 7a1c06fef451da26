// What the undo history costs next to the least the same grid work could cost, on a real grid
// under the offscreen platform:
// - undo and redo of a whole-picture step (Set over a dark picture), next to writing the 400
//   texts twice (dark, then lit) straight into the grid, repainting it once each time;
// - recording Set and then Clear as two steps, next to running Set and Clear unrecorded. The
//   history is full after 500 iterations, so this includes dropping the oldest steps.

#include "beep.h"
#include "dotpattern.h"
#include "editing.h"
#include "flexgrid.h"
#include "patternhistory.h"

#include "ratios.h"
#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace orvane;

namespace {

// A shown window with the grid at its size in the editor, and a history over it.
struct Editor {
    QWidget window;
    FlexGrid* grid = new FlexGrid(&window);
    int speed = StartSpeed;
    PatternHistory history{*grid, [this] { return speed; }, [this](int value) { speed = value; }};
    Editor() {
        grid->setGeometry(0, 0, 889, 145);
        window.resize(889, 145);
        window.show();
        ClearPattern(*grid);
    }
};

// The least work of a whole-picture change: the 400 texts, with one repaint at the end.
void writeAll(FlexGrid& grid, const QString& text) {
    grid.setUpdatesEnabled(false);
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            grid.setTextMatrix(row, col, text);
    grid.setUpdatesEnabled(true);
}

void UndoRedo(benchmark::State& state) {
    Editor editor;
    editor.history.record(QStringLiteral("Set"), [&] { SetPattern(*editor.grid); });
    for (auto _ : state) {
        editor.history.stack().undo();
        editor.history.stack().redo();
    }
    if (editor.grid->TextMatrix(8, 49) != LitText)
        state.SkipWithError("redo did not light the picture");
}

void UndoRedoMinimum(benchmark::State& state) {
    Editor editor;
    for (auto _ : state) {
        writeAll(*editor.grid, DarkText);
        writeAll(*editor.grid, LitText);
    }
}

void Record(benchmark::State& state) {
    Editor editor;
    for (auto _ : state) {
        editor.history.record(QStringLiteral("Set"), [&] { SetPattern(*editor.grid); });
        editor.history.record(QStringLiteral("Clear"), [&] { ClearPattern(*editor.grid); });
    }
    if (editor.history.stack().count() !=
        std::min<int>(PatternHistory::StepLimit, int(2 * state.iterations())))
        state.SkipWithError("not every change became a step");
}

void RecordMinimum(benchmark::State& state) {
    Editor editor;
    for (auto _ : state) {
        SetPattern(*editor.grid);
        ClearPattern(*editor.grid);
    }
}

BENCHMARK(UndoRedo);
BENCHMARK(UndoRedoMinimum);
BENCHMARK(Record);
BENCHMARK(RecordMinimum);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const ScopedBeep quiet([] {}); // Set and Clear beep; not here
    return bench::runWithRatios(argc, argv,
                                {{"undo and redo:", "UndoRedo"}, {"record:", "Record"}});
}
