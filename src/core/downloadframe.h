#pragma once

// The download frame: the 102 ASCII characters that carry a picture and its speed to the sign.
//
//   "S"                              the start mark
//   two hex digits per column 0..49  the column byte, high digit first, uppercase; row 1 is
//                                    bit 7 (0x80) .. row 8 is bit 0 (0x01), a bit is 1 when
//                                    the cell text is exactly "R"
//   the speed character              speed | 0x30, "1".."9" (Speed::character())
//
// No terminator, separator or checksum. The encoder reads cells and the speed only through the
// readers it is given and needs no window.

#include "dotpattern.h"
#include "speed.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace orvane {

// Reads the speed.
using SpeedReader = std::function<Speed()>;

class DownloadFrame {
public:
    static constexpr int Length = 1 + 2 * PatternCols + 1; // 102
    static constexpr char StartMark = 'S';

    // Takes one character of the frame; returning false stops the frame there.
    using Sink = std::function<bool(char)>;
    // Told after both digits of a column have been handed over, before the next column is read.
    using ColumnSent = std::function<void(int col)>;

    // Hands the frame to sink one character at a time, each the moment it is known: "S" before
    // any cell is read, column by column (rows 1..8, each cell read once), and the speed read
    // once, after the last column. Returns false when the sink stopped the frame.
    bool send(const CellTextReader& cells, const SpeedReader& speed, const Sink& sink,
              const ColumnSent& columnSent = {});

    // Builds the byte of column col (0..49) from its cells (1, col) .. (8, col) into ColumnByte.
    quint8 buildColumnByte(const CellTextReader& cells, int col);

    // Sets BitWeight's bit in ColumnByte when CellText is exactly "R".
    void AccumulateBit();

    // Uppercase hex digit of n (0..15): n | 0x30, plus 7 past '9'.
    static char hexDigit(int n);
    static char highDigit(quint8 byte) { return hexDigit((byte & 0xF0) / 16); }
    static char lowDigit(quint8 byte) { return hexDigit(byte & 0x0F); }

    // The whole frame at once.
    static QByteArray encode(const CellTextReader& cells, Speed speed);

    // Scratch state of the column being encoded; meaningless between frames.
    QString CellText;
    quint8 ColumnByte = 0;
    quint8 BitWeight = 0;
};

} // namespace orvane
