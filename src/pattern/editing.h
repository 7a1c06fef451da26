#pragma once

// The editing commands of the picture. Each works through the grid's own operations and leaves
// every data cell coloured from its text: "R" lit, anything else dark. Whole-picture commands
// hide the grid while they work and visit the cells column by column, rows 1 to 8 in each.

namespace orvane {

class FlexGrid;

// Every dot dark ("B"), then one beep.
void ClearPattern(FlexGrid& grid);
// Every dot lit ("R"), then one beep.
void SetPattern(FlexGrid& grid);
// Flips the cell where the grid's selection ends: "B" becomes "R", anything else "B".
void TogglePattern(FlexGrid& grid);
// Recolours every data cell from its text; no text changes, no beep.
void RepaintPattern(FlexGrid& grid);

} // namespace orvane
