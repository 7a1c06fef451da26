#include "imagemaker.h"

#include "imageimport.h"

#include <QtEndian>

#include <algorithm>
#include <array>

namespace orvane::testing {

namespace {

// A number's bytes, most significant first (big) or last (little).
template <typename T> QByteArray big(T v) {
    QByteArray b(sizeof v, '\0');
    qToBigEndian(v, b.data());
    return b;
}
template <typename T> QByteArray little(T v) {
    QByteArray b(sizeof v, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// PNG's chunk checksum (CRC-32).
quint32 crc32(const QByteArray& bytes) {
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = table[(c ^ uchar(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// A zlib stream of the bytes.
QByteArray zlib(const QByteArray& bytes) {
    return qCompress(bytes, 9).mid(4); // qCompress puts the length first
}

// Bits written most significant first (JPEG) with 0xFF stuffed, or least significant first
// into bytes (GIF).
class BitWriter {
public:
    explicit BitWriter(bool jpeg) : jpeg_(jpeg) {}
    void put(quint32 value, int count) {
        for (int i = 0; i < count; ++i) {
            const int bit = jpeg_ ? (value >> (count - 1 - i)) & 1 : (value >> i) & 1;
            if (jpeg_)
                byte_ |= bit << (7 - used_);
            else
                byte_ |= bit << used_;
            if (++used_ == 8)
                flush();
        }
    }
    QByteArray finish() {
        if (used_ > 0) {
            if (jpeg_)
                byte_ |= 0xFF >> used_; // padded with 1s
            flush();
        }
        return bytes_;
    }
    qsizetype size() const { return bytes_.size(); }

private:
    void flush() {
        bytes_ += char(byte_);
        if (jpeg_ && byte_ == 0xFF)
            bytes_ += '\0';
        byte_ = 0;
        used_ = 0;
    }
    bool jpeg_;
    QByteArray bytes_;
    quint32 byte_ = 0;
    int used_ = 0;
};

qsizetype pngRowBytes(qint64 width, int bitDepth, int colourType) {
    const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    return qsizetype((width * channels * bitDepth + 7) / 8);
}

} // namespace

QByteArray pngChunk(const char* type, const QByteArray& data) {
    const QByteArray body = QByteArray(type, 4) + data;
    return big<quint32>(quint32(data.size())) + body + big<quint32>(crc32(body));
}

QByteArray pngImage(QSize size, int bitDepth, int colourType, bool interlaced,
                    const QByteArray& extra, bool withData) {
    const QByteArray header = big<quint32>(quint32(size.width())) +
                              big<quint32>(quint32(size.height())) + char(bitDepth) +
                              char(colourType) + '\0' + '\0' + char(interlaced ? 1 : 0);
    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header);
    if (colourType == 3)
        png += pngChunk("PLTE", QByteArray("\0\0\0\xff\xff\xff", 6));
    png += extra;
    if (withData) {
        qint64 raw = 0;
        if (!interlaced) {
            raw = qint64(size.height()) * (1 + pngRowBytes(size.width(), bitDepth, colourType));
        } else {
            static const int adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
            for (const auto& pass : adam7) {
                const qint64 w = (qint64(size.width()) - pass[0] + pass[2] - 1) / pass[2];
                const qint64 h = (qint64(size.height()) - pass[1] + pass[3] - 1) / pass[3];
                if (w > 0 && h > 0)
                    raw += h * (1 + pngRowBytes(w, bitDepth, colourType));
            }
        }
        png += pngChunk("IDAT", zlib(QByteArray(raw, '\0')));
    }
    return png + pngChunk("IEND", {});
}

QByteArray pngTextBomb(int count, int textBytes) {
    const QByteArray text = QByteArray("k\0\0", 3) + zlib(QByteArray(textBytes, 'a'));
    QByteArray chunks;
    const QByteArray chunk = pngChunk("zTXt", text);
    for (int i = 0; i < count; ++i)
        chunks += chunk;
    return chunks;
}

QByteArray pngProfileBomb(int profileBytes) {
    QByteArray profile(profileBytes, '\0');
    qToBigEndian(quint32(profileBytes), profile.data());
    return pngChunk("iCCP", QByteArray("p\0\0", 3) + zlib(profile));
}

QByteArray gifImage(QSize screen, QRect frame, int frames, qint64 lzwBytes) {
    QByteArray gif = "GIF89a" + little<quint16>(quint16(screen.width())) +
                     little<quint16>(quint16(screen.height()));
    gif += QByteArray("\x80\0\0\0\0\0\xff\xff\xff", 9); // two colours: black, white
    // Codes of 3 bits from a minimum code size of 2: clear 4, end 5, new entries from 6.
    constexpr int MinCodeSize = 2, Clear = 4, End = 5;
    BitWriter lzw(false);
    if (lzwBytes == 0) {
        // A clear code before every two pixels keeps the codes at 3 bits.
        const qint64 pixels = qint64(frame.width()) * frame.height();
        for (qint64 i = 0; i < pixels; ++i) {
            if (i % 2 == 0)
                lzw.put(Clear, 3);
            lzw.put(0, 3);
        }
        lzw.put(End, 3);
    } else {
        // Each new code one pixel longer than the last, up to the 4096th; then the longest again
        // and again.
        int codeSize = MinCodeSize + 1, maxCodeSize = 2 * Clear, maxCode = Clear + 2;
        lzw.put(Clear, codeSize);
        lzw.put(0, codeSize);
        while (maxCode < 4096) {
            lzw.put(quint32(maxCode), codeSize);
            if (++maxCode >= maxCodeSize && maxCodeSize < 4096) {
                maxCodeSize *= 2;
                ++codeSize;
            }
        }
        while (lzw.size() < lzwBytes)
            lzw.put(4095, codeSize);
        lzw.put(End, codeSize);
    }
    const QByteArray data = lzw.finish();
    QByteArray blocks = QByteArray(1, char(MinCodeSize));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        blocks += char(block.size()) + block;
    }
    blocks += '\0';
    const QByteArray descriptor =
        ',' + little<quint16>(quint16(frame.x())) + little<quint16>(quint16(frame.y())) +
        little<quint16>(quint16(frame.width())) + little<quint16>(quint16(frame.height())) + '\0';
    for (int i = 0; i < frames; ++i)
        gif += descriptor + blocks;
    return gif + ';';
}

QByteArray icoWithPng(QSize entry, const QByteArray& png) {
    return QByteArray("\0\0\1\0\1\0", 6) + char(entry.width()) + char(entry.height()) +
           QByteArray("\0\0\1\0\x20\0", 6) + little<quint32>(quint32(png.size())) +
           little<quint32>(22) + png;
}

QByteArray icoWithBitmap(QSize entry, QSize bitmap, int bits) {
    const int colours = bits <= 8 ? 1 << bits : 0;
    const qint64 rowBytes = (qint64(bitmap.width()) * bits + 31) / 32 * 4;
    const qint64 maskBytes = (qint64(bitmap.width()) + 31) / 32 * 4;
    const qint64 imageBytes = (rowBytes + maskBytes) * bitmap.height();
    QByteArray header = little<quint32>(40) + little<quint32>(quint32(bitmap.width())) +
                        little<quint32>(quint32(bitmap.height() * 2)) + little<quint16>(1) +
                        little<quint16>(quint16(bits)) + little<quint32>(0) +
                        little<quint32>(quint32(imageBytes)) + little<quint32>(0) +
                        little<quint32>(0) + little<quint32>(0) + little<quint32>(0);
    for (int i = 0; i < colours; ++i)
        header += i == 0 ? QByteArray(4, '\0') : QByteArray("\xff\xff\xff\0", 4);
    const QByteArray image = header + QByteArray(imageBytes, '\0');
    return QByteArray("\0\0\1\0\1\0", 6) + char(entry.width()) + char(entry.height()) +
           char(colours & 0xFF) + QByteArray("\0\1\0", 3) + little<quint16>(quint16(bits)) +
           little<quint32>(quint32(image.size())) + little<quint32>(22) + image;
}

QByteArray jpegImage(QSize size, int components, int scans) {
    const auto segment = [](uchar marker, const QByteArray& payload) {
        return QByteArray(1, '\xff') + char(marker) + big<quint16>(quint16(payload.size() + 2)) +
               payload;
    };
    // One code of one bit a table: DC difference 0; AC end of block, or a run of 16384 or more
    // ends of band (a 14-bit count follows).
    const auto table = [](char id, char symbol) {
        return QByteArray(1, id) + '\1' + QByteArray(15, '\0') + symbol;
    };
    const bool progressive = scans > 0;
    QByteArray jpeg = "\xff\xd8" + segment(0xDB, QByteArray(1, '\0') + QByteArray(64, '\1'));
    QByteArray frame = '\x08' + big<quint16>(quint16(size.height())) +
                       big<quint16>(quint16(size.width())) + char(components);
    for (int c = 1; c <= components; ++c)
        frame += QByteArray(1, char(c)) + "\x11" + '\0';
    jpeg += segment(progressive ? 0xC2 : 0xC0, frame);
    jpeg += segment(0xC4, table('\x00', '\x00'));
    jpeg += segment(0xC4, table('\x10', progressive ? '\xe0' : '\x00'));
    const qint64 blocks = qint64((size.width() + 7) / 8) * ((size.height() + 7) / 8);

    QByteArray first = QByteArray(1, char(components));
    for (int c = 1; c <= components; ++c)
        first += QByteArray(1, char(c)) + '\0';
    jpeg += segment(0xDA, first + (progressive ? QByteArray(3, '\0') : QByteArray("\0\x3f\0", 3)));
    BitWriter data(true);
    for (qint64 i = 0; i < blocks * components; ++i)
        data.put(0, progressive ? 1 : 2); // DC 0 (and an end of block)
    jpeg += data.finish();
    for (int s = 0; s < scans; ++s) {
        jpeg += segment(0xDA, QByteArray(1, '\1') + char(1 + s % components) +
                                  QByteArray("\0\x01\x3f\0", 4));
        BitWriter band(true);
        for (qint64 left = blocks; left > 0; left -= 32767) {
            band.put(0, 1);
            band.put(quint32(std::clamp<qint64>(left, 16384, 32767) - 16384), 14);
        }
        jpeg += band.finish();
    }
    return jpeg + "\xff\xd9";
}

QByteArray bmpImage(QSize size, int bits) {
    const bool rle = bits == 8;
    const qint64 rowBytes = (qint64(size.width()) * bits + 31) / 32 * 4;
    const QByteArray palette = rle ? QByteArray("\0\0\0\0\xff\xff\xff\0", 8) : QByteArray();
    const QByteArray pixels = rle ? QByteArray("\0\1", 2) : QByteArray(rowBytes * size.height(), 0);
    const QByteArray info = little<quint32>(40) + little<quint32>(quint32(size.width())) +
                            little<quint32>(quint32(size.height())) + little<quint16>(1) +
                            little<quint16>(quint16(bits)) + little<quint32>(rle ? 1 : 0) +
                            little<quint32>(quint32(pixels.size())) + little<quint32>(0) +
                            little<quint32>(0) + little<quint32>(rle ? 2 : 0) + little<quint32>(0);
    const quint32 offset = 14 + info.size() + palette.size();
    return "BM" + little<quint32>(quint32(offset + pixels.size())) + little<quint32>(0) +
           little<quint32>(offset) + info + palette + pixels;
}

QByteArray pnmImage(char kind, QSize size, int maxValue) {
    const qint64 pixels = qint64(size.width()) * size.height();
    QByteArray pnm = QByteArray("P") + kind + '\n' + QByteArray::number(size.width()) + ' ' +
                     QByteArray::number(size.height()) + '\n';
    if (kind != '1' && kind != '4')
        pnm += QByteArray::number(maxValue) + '\n';
    const int sampleBytes = maxValue > 255 ? 2 : 1;
    switch (kind) {
    case '1':
    case '2':
        return pnm + QByteArray("0 ").repeated(pixels);
    case '3':
        return pnm + QByteArray("0 0 0 ").repeated(pixels);
    case '4':
        return pnm + QByteArray(qint64((size.width() + 7) / 8) * size.height(), '\0');
    case '5':
        return pnm + QByteArray(pixels * sampleBytes, '\0');
    default:
        return pnm + QByteArray(pixels * 3 * sampleBytes, '\0');
    }
}

QByteArray xbmImage(QSize size) {
    const qint64 bytes = qint64((size.width() + 7) / 8) * size.height();
    return "#define x_width " + QByteArray::number(size.width()) + "\n#define x_height " +
           QByteArray::number(size.height()) + "\nstatic char x_bits[] = {\n" +
           QByteArray("0x00,").repeated(bytes) + "};\n";
}

QByteArray xpmImage(QSize size, int charsPerPixel) {
    const QByteArray dark(charsPerPixel, 'a'), light(charsPerPixel, 'b');
    QByteArray xpm = "/* XPM */\nstatic const char *x[] = {\n\"" +
                     QByteArray::number(size.width()) + ' ' + QByteArray::number(size.height()) +
                     " 2 " + QByteArray::number(charsPerPixel) + "\",\n\"" + dark +
                     " c #000000\",\n\"" + light + " c #FFFFFF\",\n";
    const QByteArray row = '"' + dark.repeated(size.width()) + "\",\n";
    return xpm + row.repeated(size.height()) + "};\n";
}

QList<NamedImage> hostileImages() {
    const QSize limit(4096, 4096); // the most pixels accepted
    const QSize over(8192, 8192);
    const QSize huge(100000, 100000);
    return {
        // Accepted: the most work and memory an image within the limits takes.
        {"png-rgba16-at-limit.png", pngImage(limit, 16, 6)},
        {"png-rgba8-interlaced-at-limit.png", pngImage(limit, 8, 6, true)},
        {"png-palette-at-limit.png", pngImage(limit, 8, 3)},
        {"png-text-bomb.png", pngImage({50, 8}, 8, 6, false, pngTextBomb(990, 7'900'000))},
        {"png-profile-bomb.png", pngImage({50, 8}, 8, 6, false, pngProfileBomb(7'900'000))},
        {"jpeg-baseline-at-limit.jpg", jpegImage(limit, 3)},
        {"jpeg-progressive-at-limit.jpg", jpegImage(limit, 3, MaxJpegScans - 1)},
        {"gif-at-limit.gif", gifImage(limit, QRect({0, 0}, limit))},
        {"gif-lzw-bomb.gif", gifImage({50, 8}, {0, 0, 50, 8}, 1, 30'000'000)},
        {"gif-many-frames.gif", gifImage({50, 8}, {0, 0, 50, 8}, 100'000)},
        {"bmp-rle8-at-limit.bmp", bmpImage(limit, 8)},
        {"bmp-rgb24-large.bmp", bmpImage({3000, 3000}, 24)},
        {"ppm-p6-large.ppm", pnmImage('6', {3200, 3200})},
        {"pgm-p5-16bit-large.pgm", pnmImage('5', {3900, 3900}, 65535)},
        {"pbm-p1-text-large.pbm", pnmImage('1', {2000, 2000})},
        {"pbm-p4-at-limit.pbm", pnmImage('4', limit)},
        {"xbm-large.xbm", xbmImage({2800, 2800})},
        {"xpm-large.xpm", xpmImage({2800, 2800})},
        {"ico-bitmap-256.ico", icoWithBitmap({0, 0}, {256, 256}, 32)},
        // Accepted, a small image after tens of megabytes that the parser has to go through.
        {"pbm-p1-comments.pbm", "P1\n8 8\n" + QByteArray("# a comment\n").repeated(690'000) +
                                    QByteArray("0 ").repeated(64)},
        {"xbm-padded.xbm", xbmImage({8, 8}).replace("{", "{" + QByteArray(8'000'000, ' '))},
        {"xpm-padded.xpm", xpmImage({8, 8}).replace("*/", "*/" + QByteArray(8'000'000, ' '))},
        {"jpeg-padded.jpg",
         jpegImage({8, 8}).insert(
             2, QByteArray("\xff\xfe\xff\xff", 4).append(QByteArray(65533, ' ')).repeated(450))},
        // Refused.
        {"png-huge-declared.png", pngImage(huge, 8, 6, false, pngChunk("IDAT", {}), false)},
        {"png-bomb-over-limit.png", pngImage(over, 8, 6)},
        {"gif-screen-over-frame.gif", gifImage({65535, 1000}, {0, 0, 100, 100})},
        {"gif-frame-over-screen.gif", gifImage({50, 8}, {0, 0, 65535, 65535}, 1, 30'000'000)},
        {"png-chunk-longer-than-file.png",
         pngImage({50, 8}).left(33) + QByteArray("\x7f\xff\xff\xfftEXtk", 9)},
        {"ico-entry-under-png.ico", icoWithPng({16, 16}, pngImage({40000, 400}, 8, 0))},
        {"ico-entry-under-bitmap.ico", icoWithBitmap({0, 0}, {32768, 4000}, 1)},
        {"jpeg-many-scans.jpg", jpegImage(limit, 1, 10000)},
        {"bmp-huge-declared.bmp", bmpImage(huge, 8)},
        {"ppm-huge-declared.ppm", QByteArray("P6\n100000 100000\n255\n")},
        {"xpm-huge-declared.xpm", xpmImage({1, 1}).replace("1 1 2 1", "100000 100000 2 1")},
        {"png-cut-short.png", pngImage({50, 8}).left(60)},
    };
}

} // namespace orvane::testing
