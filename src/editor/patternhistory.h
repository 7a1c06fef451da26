#pragma once

// Undo and redo over every change of the picture. A command that changes the picture runs
// inside record(); record() compares the cell texts and the speed before and after and keeps
// only what changed as one step of a QUndoStack.
//
// Memory: a step holds, per changed cell, its index and two indexes into a table of the step's
// distinct texts (6 bytes), plus that table: "R" and "B" in practice, at most the 257 texts of
// one Latin-1 character or none that Load can bring in. A whole-picture step takes about 2.5 KB,
// at worst about 17 KB, so StepLimit steps stay within a few MB, and under 20 MB at worst.

#include <QString>
#include <QUndoStack>
#include <array>
#include <functional>
#include <memory>

namespace orvane {

class FlexGrid;

class PatternHistory {
public:
    static constexpr int StepLimit = 1000; // the oldest steps are dropped beyond this

    // The speed lives outside the grid (in the window's speed bar); the history reads it with
    // speed and puts it back with setSpeed.
    PatternHistory(FlexGrid& grid, std::function<int()> speed, std::function<void(int)> setSpeed);

    PatternHistory(const PatternHistory&) = delete;
    PatternHistory& operator=(const PatternHistory&) = delete;
    ~PatternHistory();

    QUndoStack& stack() { return stack_; }

    // Runs edit, then records what it changed of the data cells' texts and of the speed as one
    // step named name. Records nothing when nothing changed. A record() inside another one's
    // edit just runs its edit: the outer step takes in the whole change.
    //
    // Undoing or redoing a step writes back every changed cell's text exactly as it was, sets
    // that cell's colour from its text (lit iff "R"), then the speed if the step changed it, and
    // puts the caret where it was before (undo) or after (redo) the step: for a typed character,
    // where the character began or ended. It keeps the grid's current cell where it was, beeps
    // not and touches nothing else. A change of the caret alone is no step.
    void record(const QString& name, const std::function<void()>& edit);

    // A change made over several events (a drag) as one step: begin() notes the picture, end()
    // records what changed since, as record() would. A record() in between joins the step; a
    // second begin() is ignored, and so is an end() without a begin().
    void begin(const QString& name);
    void end();
    // Between begin() and end(): undo and redo must wait.
    bool recording() const { return before_ != nullptr; }

private:
    FlexGrid& grid_;
    std::function<int()> speed_;
    std::function<void(int)> setSpeed_;
    QUndoStack stack_;
    struct Before;
    std::unique_ptr<Before> before_; // while a step is being recorded
};

} // namespace orvane
