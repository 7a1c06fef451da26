#pragma once

// Whole-picture operations over a DotPattern. Each cell's text moves as it is (also an odd
// one a loaded file brought in, such as "r" or "X"); a cell that moves in from outside the
// picture is dark ("B"), and what moves out is dropped.

#include "dotpattern.h"

#include <QList>

namespace orvane {

enum class PictureOp {
    ShiftLeft,       // every column one to the left; column 50 becomes dark
    ShiftRight,      // every column one to the right; column 1 becomes dark
    ShiftUp,         // every row one up; row 8 becomes dark
    ShiftDown,       // every row one down; row 1 becomes dark
    Invert,          // "R" becomes "B", every other text "R": whatever showed dark is lit
    MirrorLeftRight, // column 1 swaps with column 50, 2 with 49, ...
    MirrorTopBottom, // row 1 swaps with row 8, 2 with 7, ...
    CentreColumns,   // the columns from the first to the last one with a lit dot, moved as a
                     // block so that as many dark columns are left of it as right of it (one
                     // more on the right when the room is odd); no lit dot: nothing moves
};

// Every operation, in the order the window lists them.
QList<PictureOp> pictureOps();

DotPattern applied(const DotPattern& picture, PictureOp op);

} // namespace orvane
