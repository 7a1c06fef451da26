#include "gridtyping.h"

#include "bitmapfont.h"
#include "dotpattern.h"
#include "editing.h"
#include "flexgrid.h"
#include "patternhistory.h"
#include "textlayout.h"

#include <QCoreApplication>

namespace orvane {

namespace {

// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::GridTyping)
};

} // namespace

GridTyping::GridTyping(FlexGrid& grid, PatternHistory& history) : grid_(grid), history_(history) {}

QStringList GridTyping::columnTexts(int startCol, int endCol) const {
    QStringList texts;
    for (int col = startCol; col < std::min(endCol, PatternCols); ++col)
        for (int row = 1; row <= PatternRows; ++row)
            texts << grid_.TextMatrix(row, col);
    return texts;
}

void GridTyping::writeColumnTexts(int startCol, const QStringList& texts) {
    for (int i = 0; i < texts.size(); ++i)
        SetCell(grid_, 1 + i % PatternRows, startCol + int(i) / PatternRows, texts[i]);
}

void GridTyping::type(const QString& text) {
    // A character typed elsewhere than where the last one ended starts a new run.
    if (!typed_.isEmpty() &&
        (typed_.last().row != grid_.RowSel() || typed_.last().endCol != grid_.ColSel()))
        typed_.clear();
    for (const char32_t c : text.toUcs4()) {
        const int row = grid_.RowSel();
        const int startCol = grid_.ColSel();
        const TextRun run = layOutCharacter(BitmapFont::builtin(), c);
        Typed typed{
            row, startCol, startCol, columnTexts(startCol, startCol + run.columns.size()), {}};
        history_.record(Text::tr("Typing"), [&] {
            typed.endCol =
                writeColumns(run.columns, startCol, [this](int r, int col, const QString& t) {
                    SetCell(grid_, r, col, t);
                });
            grid_.setRow(row);
            grid_.setCol(std::min(typed.endCol, PatternCols - 1));
        });
        typed.endCol = grid_.ColSel();
        typed.after = columnTexts(startCol, startCol + int(typed.before.size()) / PatternRows);
        typed_ << typed;
    }
}

void GridTyping::backspace() {
    if (typed_.isEmpty())
        return;
    const Typed last = typed_.takeLast();
    const int width = int(last.before.size()) / PatternRows;
    // Only what typing left as it was is taken back: a click, a move or another command in
    // between ends the run.
    if (grid_.RowSel() != last.row || grid_.ColSel() != last.endCol ||
        columnTexts(last.startCol, last.startCol + width) != last.after) {
        typed_.clear();
        return;
    }
    history_.record(Text::tr("Backspace"), [&] {
        writeColumnTexts(last.startCol, last.before);
        grid_.setRow(last.row);
        grid_.setCol(last.startCol);
    });
}

} // namespace orvane
