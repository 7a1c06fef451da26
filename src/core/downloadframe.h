#pragma once

// The download frame: the 102 ASCII characters that carry a picture and its speed to the sign.
//
//   "S"                              the start mark
//   two hex digits per column 0..49  the column byte, high digit first, uppercase; row 1 is
//                                    bit 7 (0x80) .. row 8 is bit 0 (0x01), a bit is 1 when
//                                    the cell text is exactly "R"
//   the speed character              speed | 0x30, "1".."9" (Speed::character())
//
// No terminator, separator or checksum. The encoder reads cells only through the reader it is
// given and needs no window.

#include "dotpattern.h"
#include "speed.h"

#include <QByteArray>
#include <QString>

namespace orvane {

class DownloadFrame {
public:
    static constexpr int Length = 1 + 2 * PatternCols + 1; // 102
    static constexpr char StartMark = 'S';

    // Builds the byte of column col (0..49) from its cells (1, col) .. (8, col) into ColumnByte.
    quint8 buildColumnByte(const CellTextReader& cells, int col);

    // Sets BitWeight's bit in ColumnByte when CellText is exactly "R".
    void AccumulateBit();

    // Uppercase hex digit of n (0..15): n | 0x30, plus 7 past '9'.
    static char hexDigit(int n);
    static char highDigit(quint8 byte) { return hexDigit((byte & 0xF0) / 16); }
    static char lowDigit(quint8 byte) { return hexDigit(byte & 0x0F); }

    // The frame of the picture `cells` reads and `speed`: "S", each column's two digits in
    // order (rows 1..8, each cell read once), then the speed character.
    static QByteArray encode(const CellTextReader& cells, Speed speed);

    // Scratch state of the column being encoded; meaningless between frames.
    QString CellText;
    quint8 ColumnByte = 0;
    quint8 BitWeight = 0;
};

} // namespace orvane
