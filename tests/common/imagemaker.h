#pragma once

// Image files written byte by byte, small or large, well-formed or hostile: a header may declare
// any size, the data may hold more or less than it says, and scans, frames and chunks come in any
// number. Pixels are black (or transparent) unless said otherwise.

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>

namespace orvane::testing {

// PNG. colourType: 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA. `extra` goes before the
// image data; withData false leaves out the image data altogether.
QByteArray pngChunk(const char* type, const QByteArray& data);
QByteArray pngImage(QSize size, int bitDepth = 8, int colourType = 6, bool interlaced = false,
                    const QByteArray& extra = {}, bool withData = true);
// `count` compressed text chunks of `textBytes` characters each.
QByteArray pngTextBomb(int count, int textBytes);
// An iCCP colour profile that decompresses to `profileBytes`.
QByteArray pngProfileBomb(int profileBytes);

// GIF with a logical screen and a first frame, then `frames - 1` more frames like it. The
// frame's pixels are given one code each unless `lzwBytes` is set: then about that many bytes of
// image data, each 12-bit code standing for some 4000 pixels, whatever the frame's size.
QByteArray gifImage(QSize screen, QRect frame, int frames = 1, qint64 lzwBytes = 0);

// ICO whose directory gives `entry` (0 for 256) for an embedded PNG, or for a bitmap of
// `bitmap` pixels at `bits` a pixel (1, 4, 8, 24 or 32) with its mask.
QByteArray icoWithPng(QSize entry, const QByteArray& png);
QByteArray icoWithBitmap(QSize entry, QSize bitmap, int bits);

// JPEG of mid grey: baseline when scans is 0, else progressive with a DC scan and `scans` AC
// scans, each of them a pass over every block of one component.
QByteArray jpegImage(QSize size, int components = 3, int scans = 0);

// BMP at 8 bits a pixel run-length encoded (a few bytes whatever the size), or at 24 or 32 bits.
QByteArray bmpImage(QSize size, int bits = 24);

// PBM, PGM or PPM: kind '1'..'6' as in "P1".."P6"; maxValue for PGM and PPM.
QByteArray pnmImage(char kind, QSize size, int maxValue = 255);

// XBM, and XPM with two colours of `charsPerPixel` characters.
QByteArray xbmImage(QSize size);
QByteArray xpmImage(QSize size, int charsPerPixel = 1);

// Every kind of image above at sizes up to and past this program's limits, named for what each
// tries: the set bench/image-limits.sh measures.
struct NamedImage {
    QString name;
    QByteArray bytes;
};
QList<NamedImage> hostileImages();

} // namespace orvane::testing
