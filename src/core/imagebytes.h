#pragma once

// Looks into an image's bytes before Qt decodes them, for what the header Qt reports leaves out:
// what the decoder will really allocate, and work out of proportion to the picture. Internal to
// the image import.

#include <QByteArray>
#include <QSize>

namespace orvane::imagebytes {

// A PNG with only what makes its pixels: the critical chunks and tRNS. Text, colour profile and
// other ancillary chunks go, so that none can decompress into more than the image (libpng keeps
// every text chunk, up to 8 MB each), and so do a chunk cut short and what follows (libpng
// allocates what a chunk's length says before it finds the data missing) and bytes past IEND.
QByteArray pngPixelsOnly(const QByteArray& png);

// The number of scans (SOS markers) before the end of the JPEG's first image. A progressive JPEG
// takes the decoder a pass over the whole picture for each.
int jpegScanCount(const QByteArray& jpeg);

// A GIF cut to its first frame, with no more image data than the frame has pixels (LZW codes
// can expand 4096-fold, and the decoder walks every pixel a code stands for, inside the frame
// or not), and the size of the picture Qt decodes from it: the logical screen where it gives
// one, which the size Qt reports before decoding may not.
struct Gif {
    QByteArray data;
    QSize size;  // invalid when the GIF ends before its first frame
    QSize frame; // the first frame's own size: the decoder goes through all of its pixels
};
// A frame of more than `maxPixels` is left as it is: the caller refuses it.
Gif gifFirstFrame(const QByteArray& gif, qint64 maxPixels);

// The first image of an ICO or CUR file, which is what Qt reads: an embedded PNG (decoded as a
// PNG), or the size of the bitmap Qt allocates for it, from the directory entry or, where that
// gives 0, from the bitmap's own header. Qt reports the directory entry's size either way.
struct Icon {
    QByteArray png; // the embedded PNG, if it is one
    QSize size;     // the bitmap's size, if it is one; invalid when the file ends before
};
Icon iconFirstImage(const QByteArray& ico);

// The size a BMP, PBM/PGM/PPM, XBM or XPM header declares, invalid when it gives none. Qt refuses
// a size it finds unreasonable without saying why; this is what says it.
QSize declaredSize(const QByteArray& data, const QByteArray& format);

} // namespace orvane::imagebytes
