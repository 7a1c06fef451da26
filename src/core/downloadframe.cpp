#include "downloadframe.h"

namespace orvane {

void DownloadFrame::AccumulateBit() {
    if (isLit(CellText))
        ColumnByte |= BitWeight;
}

quint8 DownloadFrame::buildColumnByte(const CellTextReader& cells, int col) {
    ColumnByte = 0;
    BitWeight = 0x80;
    for (int row = 1; row <= PatternRows; ++row, BitWeight >>= 1) {
        CellText = cells(row, col);
        AccumulateBit();
    }
    return ColumnByte;
}

char DownloadFrame::hexDigit(int n) {
    int d = n | 0x30;
    if (d > 0x39)
        d += 7;
    return char(d);
}

bool DownloadFrame::send(const CellTextReader& cells, const SpeedReader& speed, const Sink& sink,
                         const ColumnSent& columnSent) {
    if (!sink(StartMark))
        return false;
    for (int col = 0; col < PatternCols; ++col) {
        const quint8 byte = buildColumnByte(cells, col);
        if (!sink(highDigit(byte)) || !sink(lowDigit(byte)))
            return false;
        if (columnSent)
            columnSent(col);
    }
    return sink(speed().character());
}

QByteArray DownloadFrame::encode(const CellTextReader& cells, Speed speed) {
    QByteArray frame;
    frame.reserve(Length);
    DownloadFrame encoder;
    encoder.send(
        cells, [speed] { return speed; },
        [&frame](char c) {
            frame.append(c);
            return true;
        });
    return frame;
}

} // namespace orvane
