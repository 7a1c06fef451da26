#include "imagebytes.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace orvane::imagebytes {

namespace {

const uchar* bytes(const QByteArray& data) {
    return reinterpret_cast<const uchar*>(data.constData());
}

quint16 le16(const uchar* p) {
    return quint16(p[0] | p[1] << 8);
}

// The GIF decoder's LZW loop, counting pixels instead of writing them. Returns where the frame's
// data is cut: after the sub-block in which the frame gets all its pixels or the end code comes,
// or at the frame's own block terminator; -1 to leave the data as it is (it ends first, or the
// decoder stops at a fault of its own).
qsizetype lzwCut(const uchar* p, qsizetype n, qsizetype at, int lzwSize, qint64 pixels) {
    constexpr int MaxCodes = 4096;  // 12-bit codes
    constexpr int MaxString = 8192; // the decoder's stack
    if (lzwSize > 12)
        return -1;
    const int clear = 1 << lzwSize;
    const int end = clear + 1;
    int codeSize = lzwSize + 1;
    int maxCodeSize = 2 * clear;
    int maxCode = clear + 2;
    std::array<qint16, MaxCodes> prefix{};
    bool needFirst = true;
    int oldCode = 0;
    quint32 accum = 0;
    int bits = 0;
    qint64 given = 0;
    while (at < n) {
        const int blockSize = p[at];
        if (blockSize == 0)
            return at;
        const qsizetype blockEnd = at + 1 + blockSize;
        if (blockEnd > n)
            return -1;
        for (qsizetype i = at + 1; i < blockEnd; ++i) {
            accum |= quint32(p[i]) << bits;
            bits += 8;
            while (bits >= codeSize) {
                int code = int(accum & ((1u << codeSize) - 1));
                accum >>= codeSize;
                bits -= codeSize;
                if (code == clear) {
                    if (!needFirst) {
                        codeSize = lzwSize + 1;
                        maxCodeSize = 2 * clear;
                        maxCode = clear + 2;
                    }
                    needFirst = true;
                    continue;
                }
                if (code == end)
                    return blockEnd; // the decoder reads no further code
                if (needFirst) {
                    oldCode = code;
                    needFirst = false;
                    ++given;
                } else {
                    const int inCode = code;
                    int length = 1;
                    if (code >= maxCode) {
                        ++length;
                        code = oldCode;
                    }
                    for (; code >= clear + 2; code = prefix[code]) {
                        if (code >= maxCode || code == prefix[code] || length >= MaxString)
                            return -1;
                        ++length;
                    }
                    if (code < 0)
                        return -1;
                    if (maxCode < MaxCodes) {
                        prefix[maxCode] = qint16(oldCode);
                        if (++maxCode >= maxCodeSize && maxCodeSize < MaxCodes) {
                            maxCodeSize *= 2;
                            ++codeSize;
                        }
                    }
                    oldCode = inCode;
                    given += length;
                }
                if (given >= pixels)
                    return blockEnd;
            }
        }
        at = blockEnd;
    }
    return -1;
}

// The next decimal number from `at` on, skipping what is not a digit (and, with `comments`, the
// rest of a line from "#"); -1 when there is none. Large numbers stop growing at a billion.
qint64 nextNumber(const QByteArray& text, qsizetype* at, bool comments) {
    qsizetype i = *at;
    while (i < text.size() && !(text[i] >= '0' && text[i] <= '9')) {
        if (comments && text[i] == '#')
            while (i < text.size() && text[i] != '\n')
                ++i;
        else
            ++i;
    }
    if (i == text.size())
        return -1;
    qint64 value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<qint64>(value * 10 + (text[i] - '0'), 1'000'000'000);
    *at = i;
    return value;
}

QSize sizeOf(qint64 width, qint64 height) {
    return width < 0 || height < 0 ? QSize() : QSize(int(width), int(height));
}

} // namespace

QByteArray pngPixelsOnly(const QByteArray& png) {
    constexpr qsizetype Signature = 8;
    constexpr qsizetype Header = 8; // length and type
    constexpr qsizetype Crc = 4;
    QByteArray kept = png.left(Signature);
    qsizetype pos = Signature;
    while (png.size() - pos >= Header) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + pos);
        const qsizetype left = png.size() - pos - Header;
        if (length > quint64(left))
            return kept; // libpng would allocate (and clear) the length given, up to 2 GiB
        if (left - qsizetype(length) < Crc)
            return kept + png.mid(pos); // Qt makes up a missing CRC at the end
        const char* type = png.constData() + pos + 4;
        if ((type[0] & 0x20) == 0 || std::memcmp(type, "tRNS", 4) == 0) // critical, or tRNS
            kept.append(png.constData() + pos, Header + length + Crc);
        pos += Header + length + Crc;
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
    }
    return kept;
}

int jpegScanCount(const QByteArray& jpeg) {
    const uchar* p = bytes(jpeg);
    const qsizetype n = jpeg.size();
    const auto isMarker = [&](qsizetype at) {
        const uchar m = p[at + 1];
        return p[at] == 0xFF && m != 0x00 && m != 0xFF && !(m >= 0xD0 && m <= 0xD7);
    };
    int scans = 0;
    qsizetype pos = 2; // after SOI
    while (pos + 1 < n) {
        if (!isMarker(pos)) { // fill bytes, or garbage the decoder skips
            ++pos;
            continue;
        }
        const uchar marker = p[pos + 1];
        if (marker == 0xD9) // EOI
            break;
        if (marker == 0x01 || marker == 0xD8) { // no length
            pos += 2;
            continue;
        }
        if (pos + 3 >= n)
            break;
        pos += 2 + qFromBigEndian<quint16>(p + pos + 2);
        if (marker == 0xDA) { // SOS: entropy-coded data up to the next marker
            ++scans;
            while (pos + 1 < n && !isMarker(pos))
                ++pos;
        }
    }
    return scans;
}

Gif gifFirstFrame(const QByteArray& gif, qint64 maxPixels) {
    constexpr qsizetype Header = 13; // signature, version and logical screen descriptor
    Gif result{gif, QSize(), QSize()};
    const uchar* p = bytes(gif);
    const qsizetype n = gif.size();
    if (n < Header)
        return result;
    const int screenWidth = le16(p + 6);
    const int screenHeight = le16(p + 8);
    const auto colourTable = [](uchar flags) {
        return flags & 0x80 ? qsizetype(3) << ((flags & 7) + 1) : 0;
    };
    qsizetype pos = Header + colourTable(p[10]);
    while (pos + 1 < n && p[pos] == 0x21) { // extensions: a label, then sub-blocks
        pos += 2;
        while (pos < n && p[pos] != 0)
            pos += 1 + p[pos];
        ++pos;
    }
    if (pos + 10 > n || p[pos] != 0x2C) // no image descriptor
        return result;
    const int left = le16(p + pos + 1);
    const int top = le16(p + pos + 3);
    const int width = le16(p + pos + 5);
    const int height = le16(p + pos + 7);
    // The decoder takes the frame's extent only where the logical screen gives 0.
    result.size = QSize(screenWidth > 0 ? screenWidth : left + width,
                        screenHeight > 0 ? screenHeight : top + height);
    result.frame = QSize(width, height);
    const qsizetype data = pos + 10 + colourTable(p[pos + 9]);
    if (data >= n || qint64(width) * height > maxPixels) // counting the pixels takes as long
        return result;
    const qsizetype cut = lzwCut(p, n, data + 1, p[data], qint64(width) * height);
    if (cut >= 0)
        result.data = gif.left(cut) + QByteArray("\0;", 2); // block terminator, trailer
    return result;
}

Icon iconFirstImage(const QByteArray& ico) {
    constexpr qsizetype Directory = 6;
    constexpr qsizetype Entry = 16;
    constexpr qsizetype BitmapHeader = 40;
    static const char pngSignature[] = "\x89PNG\r\n\x1a\n";
    Icon icon;
    const uchar* p = bytes(ico);
    if (ico.size() < Directory + Entry || le16(p + 4) == 0)
        return icon;
    const uchar* entry = p + Directory;
    const quint32 length = qFromLittleEndian<quint32>(entry + 8);
    const quint32 offset = qFromLittleEndian<quint32>(entry + 12);
    const qsizetype left = ico.size() - qsizetype(qMin<quint64>(offset, ico.size()));
    const char* image = ico.constData() + ico.size() - left;
    if (left >= 8 && std::memcmp(image, pngSignature, 8) == 0) {
        icon.png = QByteArray(image, qMin<qsizetype>(left, length));
        return icon;
    }
    if (left < BitmapHeader)
        return icon;
    const qint32 width = qFromLittleEndian<qint32>(image + 4);
    const qint32 height = qFromLittleEndian<qint32>(image + 8);
    icon.size = QSize(entry[0] ? entry[0] : width, entry[1] ? entry[1] : height / 2);
    return icon;
}

QSize declaredSize(const QByteArray& data, const QByteArray& format) {
    qsizetype at = 0;
    if (format == "bmp") {
        constexpr qsizetype FileHeader = 14;
        if (data.size() < FileHeader + 12)
            return QSize();
        const uchar* info = bytes(data) + FileHeader;
        if (qFromLittleEndian<quint32>(info) == 12) // OS/2: 16-bit sizes
            return QSize(le16(info + 4), le16(info + 6));
        if (data.size() < FileHeader + 16)
            return QSize();
        return sizeOf(qFromLittleEndian<qint32>(info + 4),
                      std::abs(qint64(qFromLittleEndian<qint32>(info + 8))));
    }
    if (format == "pbm" || format == "pgm" || format == "ppm") {
        at = 2; // "P1".."P6"
        const qint64 width = nextNumber(data, &at, true);
        return sizeOf(width, nextNumber(data, &at, true));
    }
    if (format == "xpm") {
        at = data.indexOf('"') + 1; // the first string: width, height, colours, characters
        if (at == 0)
            return QSize();
        const qint64 width = nextNumber(data, &at, false);
        return sizeOf(width, nextNumber(data, &at, false));
    }
    if (format == "xbm") {
        qsizetype w = data.indexOf("_width");
        qsizetype h = data.indexOf("_height");
        if (w < 0 || h < 0)
            return QSize();
        const qint64 width = nextNumber(data, &w, false);
        return sizeOf(width, nextNumber(data, &h, false));
    }
    return QSize();
}

} // namespace orvane::imagebytes
