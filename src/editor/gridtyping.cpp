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

// The columns of a run from startCol that fall past column 50, up to its last lit one.
int cutOff(const QList<quint8>& columns, int startCol) {
    qsizetype inked = columns.size();
    while (inked > 0 && columns[inked - 1] == 0)
        --inked;
    return int(std::max<qsizetype>(0, inked - (PatternCols - startCol)));
}

} // namespace

GridTyping::GridTyping(FlexGrid& grid, PatternHistory& history)
    : grid_(grid), history_(history), font_(&BitmapFont::builtin()) {}

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

bool GridTyping::continuesRun() const {
    return !typed_.isEmpty() && typed_.last().endCol == grid_.caretColumn();
}

int GridTyping::cutColumns() const {
    int cut = 0;
    if (continuesRun())
        for (const Typed& typed : typed_)
            cut += typed.cut;
    return cut;
}

GridTyping::Typed GridTyping::writeRun(const QList<quint8>& columns, int row, int startCol) {
    Typed typed{row,
                startCol,
                startCol,
                cutOff(columns, startCol),
                columnTexts(startCol, startCol + int(columns.size())),
                {}};
    const int end = writeColumns(
        columns, startCol, [this](int r, int col, const QString& t) { SetCell(grid_, r, col, t); });
    typed.endCol = std::min(end, PatternCols);
    typed.after = columnTexts(startCol, startCol + int(typed.before.size()) / PatternRows);
    return typed;
}

bool GridTyping::takeBack(const Typed& t) {
    if (columnTexts(t.startCol, t.startCol + int(t.before.size()) / PatternRows) != t.after)
        return false;
    writeColumnTexts(t.startCol, t.before);
    return true;
}

void GridTyping::showPreedit(const QString& text) {
    const int row = grid_.RowSel(), col = grid_.ColSel();
    if (preedit_)
        takeBack(*preedit_);
    preedit_.reset();
    if (!text.isEmpty())
        preedit_ = writeRun(layOutText(*font_, text).columns, row, grid_.caretColumn());
    grid_.setRow(row);
    grid_.setCol(col);
}

void GridTyping::type(const QString& text) {
    // A commit replaces the composition it ends.
    if (preedit_)
        showPreedit(QString());
    // A character typed elsewhere than where the last one ended starts a new run.
    if (!continuesRun())
        typed_.clear();
    for (const char32_t c : text.toUcs4()) {
        const int row = grid_.RowSel();
        const int startCol = grid_.caretColumn();
        const TextRun run = layOutCharacter(*font_, c);
        Typed typed;
        history_.record(Text::tr("Typing"), [&] {
            typed = writeRun(run.columns, row, startCol);
            grid_.setRow(row);
            grid_.setCol(std::min(typed.endCol, PatternCols - 1));
            grid_.setCaretColumn(typed.endCol);
        });
        typed_ << typed;
    }
}

void GridTyping::backspace() {
    if (typed_.isEmpty())
        return;
    const Typed last = typed_.takeLast();
    // Only what typing left as it was is taken back: a click, a move or another command in
    // between ends the run.
    if (grid_.caretColumn() != last.endCol) {
        typed_.clear();
        return;
    }
    history_.record(Text::tr("Backspace"), [&] {
        if (!takeBack(last)) {
            typed_.clear();
            return;
        }
        grid_.setRow(last.row);
        grid_.setCol(std::min(last.startCol, PatternCols - 1));
        grid_.setCaretColumn(last.startCol);
    });
}

} // namespace orvane
