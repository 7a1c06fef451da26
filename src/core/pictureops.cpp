#include "pictureops.h"

#include "textlayout.h"

namespace orvane {

namespace {

// The picture with each cell taken from where `source` says, or dark where it says none.
template <typename Source> DotPattern remapped(const DotPattern& picture, Source source) {
    DotPattern result;
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row) {
            const auto [fromRow, fromCol] = source(row, col);
            if (fromRow >= 1 && fromRow <= PatternRows && fromCol >= 0 && fromCol < PatternCols)
                result.setText(row, col, picture.text(fromRow, fromCol));
        }
    return result;
}

DotPattern shifted(const DotPattern& picture, int rows, int cols) {
    return remapped(picture, [&](int row, int col) { return std::pair{row - rows, col - cols}; });
}

bool columnIsLit(const DotPattern& picture, int col) {
    for (int row = 1; row <= PatternRows; ++row)
        if (isLit(picture.text(row, col)))
            return true;
    return false;
}

DotPattern centred(const DotPattern& picture) {
    int first = 0;
    while (first < PatternCols && !columnIsLit(picture, first))
        ++first;
    if (first == PatternCols)
        return picture;
    int last = PatternCols - 1;
    while (!columnIsLit(picture, last))
        --last;
    return shifted(picture, 0, alignedStart(last - first + 1, Align::Center) - first);
}

} // namespace

QList<PictureOp> pictureOps() {
    return {PictureOp::ShiftLeft,       PictureOp::ShiftRight,   PictureOp::ShiftUp,
            PictureOp::ShiftDown,       PictureOp::Invert,       PictureOp::MirrorLeftRight,
            PictureOp::MirrorTopBottom, PictureOp::CentreColumns};
}

DotPattern applied(const DotPattern& picture, PictureOp op) {
    switch (op) {
    case PictureOp::ShiftLeft:
        return shifted(picture, 0, -1);
    case PictureOp::ShiftRight:
        return shifted(picture, 0, 1);
    case PictureOp::ShiftUp:
        return shifted(picture, -1, 0);
    case PictureOp::ShiftDown:
        return shifted(picture, 1, 0);
    case PictureOp::Invert: {
        DotPattern result;
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                result.setText(row, col, isLit(picture.text(row, col)) ? DarkText : LitText);
        return result;
    }
    case PictureOp::MirrorLeftRight:
        return remapped(picture, [](int row, int col) {
            return std::pair{row, PatternCols - 1 - col};
        });
    case PictureOp::MirrorTopBottom:
        return remapped(picture, [](int row, int col) {
            return std::pair{PatternRows + 1 - row, col};
        });
    case PictureOp::CentreColumns:
        return centred(picture);
    }
    return picture;
}

} // namespace orvane
