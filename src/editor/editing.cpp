#include "editing.h"

#include "beep.h"
#include "dotpattern.h"
#include "flexgrid.h"

namespace orvane {

namespace {

void colourCell(FlexGrid& grid, int row, int col, quint32 colour) {
    grid.setRow(row);
    grid.setCol(col);
    grid.setCellBackColor(colour);
}

// Hiding the focused grid would move the keyboard focus on to the next control (and a screen
// reader would name it): a grid that has the focus lets go of it while hidden and takes it back,
// so that Ctrl+Insert or Ctrl+Z there leaves the user on the grid.
template <typename VisitCell> void forEachCellHidden(FlexGrid& grid, VisitCell visit) {
    const bool focused = grid.hasFocus();
    if (focused)
        grid.clearFocus();
    grid.setVisible(false);
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            visit(row, col);
    grid.setVisible(true);
    if (focused)
        grid.setFocus(Qt::OtherFocusReason);
}

void fillPattern(FlexGrid& grid, const QString& text, quint32 colour) {
    forEachCellHidden(grid, [&](int row, int col) {
        grid.setTextMatrix(row, col, text);
        colourCell(grid, row, col, colour);
    });
    Beep();
}

} // namespace

void ClearPattern(FlexGrid& grid) {
    fillPattern(grid, DarkText, DarkColour);
}

void SetPattern(FlexGrid& grid) {
    fillPattern(grid, LitText, LitColour);
}

void TogglePattern(FlexGrid& grid) {
    const int col = grid.ColSel();
    const int row = grid.RowSel();
    const bool wasDark = grid.TextMatrix(row, col) == DarkText;
    grid.setTextMatrix(row, col, wasDark ? LitText : DarkText);
    colourCell(grid, row, col, wasDark ? LitColour : DarkColour);
}

void SetCell(FlexGrid& grid, int row, int col, const QString& text) {
    grid.setTextMatrix(row, col, text);
    colourCell(grid, row, col, isLit(text) ? LitColour : DarkColour);
}

void RepaintPattern(FlexGrid& grid) {
    forEachCellHidden(grid, [&](int row, int col) {
        grid.setRow(row);
        grid.setCol(col);
        grid.setCellBackColor(isLit(grid.TextMatrix(row, col)) ? LitColour : DarkColour);
    });
}

DotPattern PictureOf(const FlexGrid& grid) {
    DotPattern picture;
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            picture.setText(row, col, grid.TextMatrix(row, col));
    return picture;
}

void ShowPicture(FlexGrid& grid, const DotPattern& picture) {
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            grid.setTextMatrix(row, col, picture.text(row, col));
    RepaintPattern(grid);
}

void ApplyPicture(FlexGrid& grid, const DotPattern& picture) {
    const int row = grid.RowSel();
    const int col = grid.ColSel();
    grid.setUpdatesEnabled(false);
    for (int c = 0; c < PatternCols; ++c)
        for (int r = 1; r <= PatternRows; ++r)
            if (grid.TextMatrix(r, c) != picture.text(r, c))
                SetCell(grid, r, c, picture.text(r, c));
    grid.setRow(row);
    grid.setCol(col);
    grid.setUpdatesEnabled(true);
}

} // namespace orvane
