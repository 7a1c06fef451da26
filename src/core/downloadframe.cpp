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

QByteArray DownloadFrame::encode(const CellTextReader& cells, Speed speed) {
    QByteArray frame;
    frame.reserve(Length);
    frame.append(StartMark);
    DownloadFrame encoder;
    for (int col = 0; col < PatternCols; ++col) {
        const quint8 byte = encoder.buildColumnByte(cells, col);
        frame.append(highDigit(byte));
        frame.append(lowDigit(byte));
    }
    frame.append(speed.character());
    return frame;
}

} // namespace orvane
