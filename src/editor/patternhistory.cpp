#include "patternhistory.h"

#include "dotpattern.h"
#include "flexgrid.h"

#include <QHash>
#include <QList>
#include <QScopeGuard>
#include <array>
#include <memory>
#include <vector>

namespace orvane {

namespace {

constexpr int CellCount = PatternRows * PatternCols;

// Data cells are numbered column by column, rows 1..8 in each, as the fill visits them.
int rowOf(int cell) {
    return cell % PatternRows + 1;
}
int colOf(int cell) {
    return cell / PatternRows;
}

using Texts = std::array<QString, CellCount>;

Texts readTexts(const FlexGrid& grid) {
    Texts texts;
    for (int cell = 0; cell < CellCount; ++cell)
        texts[size_t(cell)] = grid.TextMatrix(rowOf(cell), colOf(cell));
    return texts;
}

class PictureStep : public QUndoCommand {
public:
    struct Change {
        quint16 cell;
        quint16 before; // index into texts_
        quint16 after;
    };

    PictureStep(const QString& name, FlexGrid& grid, const std::function<void(int)>& setSpeed,
                const Texts& before, const Texts& after, int speedBefore, int speedAfter,
                int caretBefore, int caretAfter)
        : QUndoCommand(name), grid_(grid), setSpeed_(setSpeed), speedBefore_(speedBefore),
          speedAfter_(speedAfter), caretBefore_(qint8(caretBefore)),
          caretAfter_(qint8(caretAfter)) {
        QHash<QString, quint16> known;
        const auto indexOf = [&](const QString& text) {
            auto it = known.constFind(text);
            if (it == known.cend()) {
                it = known.insert(text, quint16(texts_.size()));
                texts_.append(text);
            }
            return it.value();
        };
        for (int cell = 0; cell < CellCount; ++cell) {
            const QString& was = before[size_t(cell)];
            const QString& now = after[size_t(cell)];
            if (was != now)
                changes_.push_back({quint16(cell), indexOf(was), indexOf(now)});
        }
        changes_.shrink_to_fit();
        texts_.squeeze();
    }

    bool isEmpty() const { return changes_.empty() && speedBefore_ == speedAfter_; }

    void undo() override { apply(&Change::before, speedBefore_, caretBefore_); }

    void redo() override {
        // The edit has already made the change when the step is pushed.
        if (pushed_) {
            pushed_ = false;
            return;
        }
        apply(&Change::after, speedAfter_, caretAfter_);
    }

private:
    // The grid colours only its current cell, so each changed cell is made current in turn; the
    // user's current cell is put back afterwards. The grid stays shown (hiding it would move
    // the keyboard focus away from it) but is repainted once, as a whole, at the end.
    void apply(quint16 Change::*side, int speed, int caret) {
        const int row = grid_.RowSel();
        const int col = grid_.ColSel();
        grid_.setUpdatesEnabled(false);
        for (const Change& change : changes_) {
            const QString& text = texts_[change.*side];
            grid_.setTextMatrix(rowOf(change.cell), colOf(change.cell), text);
            grid_.setRow(rowOf(change.cell));
            grid_.setCol(colOf(change.cell));
            grid_.setCellBackColor(isLit(text) ? LitColour : DarkColour);
        }
        grid_.setRow(row);
        grid_.setCol(col);
        grid_.setUpdatesEnabled(true);
        grid_.setCaretColumn(caret);
        if (speedBefore_ != speedAfter_)
            setSpeed_(speed);
    }

    FlexGrid& grid_;
    const std::function<void(int)>& setSpeed_;
    QList<QString> texts_; // the distinct texts of this step
    std::vector<Change> changes_;
    int speedBefore_;
    int speedAfter_;
    qint8 caretBefore_; // 0..50
    qint8 caretAfter_;
    bool pushed_ = true;
};

} // namespace

struct PatternHistory::Before {
    QString name;
    Texts texts;
    int speed;
    int caret;
};

PatternHistory::PatternHistory(FlexGrid& grid, std::function<int()> speed,
                               std::function<void(int)> setSpeed)
    : grid_(grid), speed_(std::move(speed)), setSpeed_(std::move(setSpeed)) {
    stack_.setUndoLimit(StepLimit);
}

PatternHistory::~PatternHistory() = default;

void PatternHistory::begin(const QString& name) {
    if (!before_)
        before_.reset(new Before{name, readTexts(grid_), speed_(), grid_.caretColumn()});
}

void PatternHistory::end() {
    if (!before_)
        return;
    const std::unique_ptr<Before> before = std::move(before_);
    auto step = std::make_unique<PictureStep>(before->name, grid_, setSpeed_, before->texts,
                                              readTexts(grid_), before->speed, speed_(),
                                              before->caret, grid_.caretColumn());
    if (!step->isEmpty())
        stack_.push(step.release());
}

void PatternHistory::record(const QString& name, const std::function<void()>& edit) {
    if (before_) {
        edit();
        return;
    }
    begin(name);
    const QScopeGuard done([this] { end(); });
    edit();
}

} // namespace orvane
