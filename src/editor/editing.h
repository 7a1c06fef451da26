#pragma once

// The editing commands of the picture. Each works through the grid's own operations and leaves
// every data cell coloured from its text: "R" lit, anything else dark. Whole-picture commands
// hide the grid while they work and visit the cells column by column, rows 1 to 8 in each.

#include <QString>

namespace orvane {

class DotPattern;
class FlexGrid;

// Every dot dark ("B"), then one beep.
void ClearPattern(FlexGrid& grid);
// Every dot lit ("R"), then one beep.
void SetPattern(FlexGrid& grid);
// Flips the cell where the grid's selection ends: "B" becomes "R", anything else "B".
void TogglePattern(FlexGrid& grid);
// Writes one cell's text and its colour (lit iff "R"); the cell becomes the current one.
void SetCell(FlexGrid& grid, int row, int col, const QString& text);
// Recolours every data cell from its text; no text changes, no beep.
void RepaintPattern(FlexGrid& grid);

// The data cells' texts.
DotPattern PictureOf(const FlexGrid& grid);
// Writes every data cell's text from picture, then recolours the whole grid (RepaintPattern).
void ShowPicture(FlexGrid& grid, const DotPattern& picture);
// Writes and colours the cells whose text differs from picture's, without hiding the grid: the
// current cell and the keyboard focus stay where they are. No beep.
void ApplyPicture(FlexGrid& grid, const DotPattern& picture);

} // namespace orvane
