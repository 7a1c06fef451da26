#pragma once

// A picture from an image: PNG, BMP, GIF, JPEG, ICO/CUR, PBM/PGM/PPM or XBM/XPM.
//
// An image of 8 pixels high maps pixel (x, y) to the dot at row y + 1, column x. Any other image
// is first scaled smoothly, keeping its aspect ratio, to 8 pixels high. Columns past the image's
// width are dark, and what lies past column 49 is cut off with a warning.
//
// A pixel is lit when it is opaque enough (alpha at least 128) and its grey value qGray() (0..255,
// weighted 11:16:5 for red, green and blue) satisfies gray * 100 >= threshold * 255. So threshold
// 0 lights every opaque pixel, 100 only pure white. `invert` swaps lit and dark for opaque pixels;
// a transparent pixel stays dark either way.

#include "dotpattern.h"
#include "result.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace orvane {

inline constexpr int MinThreshold = 0;
inline constexpr int MaxThreshold = 100;
inline constexpr int DefaultThreshold = 50;

// Bounds on what is read: the file's size, less for the formats written as text, which take
// longer to go through; the image's size, checked before it is decoded (as its header gives it,
// and as the decoder will allocate it where that differs) and again after; and a progressive
// JPEG's number of scans, each a pass over the whole image. They keep any image within about a
// second and 200 MiB (see bench/image-limits.sh).
inline constexpr qint64 MaxImageFileBytes = 32 << 20;
inline constexpr qint64 MaxTextImageFileBytes = 8 << 20; // XBM, XPM and plain PBM/PGM/PPM
inline constexpr int MaxImageSide = 32768;
inline constexpr qint64 MaxImagePixels = 16 << 20;
inline constexpr int MaxJpegScans = 100;

// Sets what every image read in this program relies on: Qt's limit on the memory of one decoded
// image (QImageReader::setAllocationLimit, process-wide), to what the largest accepted image
// needs. Call once, early in main().
void configureImageReading();

struct ImageOptions {
    int threshold = DefaultThreshold; // percent, MinThreshold..MaxThreshold
    bool invert = false;
};

// A result's warnings say what was lost (cut off) or what the decoder found wrong; from a file,
// they start with its name, as a refusal names it.
struct ImagePicture {
    DotPattern picture; // "R" for a lit dot, "B" for a dark one
    QImage image;       // the image scaled to 8 rows, to convert again
};

Result<ImagePicture> pictureFromImage(const QImage& image, const ImageOptions& options);

// The image as pictureFromImage() scales it. Converting the result gives the same picture as
// converting the image itself (only a warning names the smaller size), so a preview can scale
// once and convert again for each threshold.
QImage scaledToPictureHeight(const QImage& image);

// An image decoded from a file's bytes.
struct DecodedImage {
    QImage image; // upright; a JPEG is decoded at a reduced size, a GIF's first frame
    QSize size;   // the full size, upright
};

// Decodes an image in a format this program reads (by content, not by name), within the limits
// above. What Qt and its libraries say meanwhile ends up in the warnings or the refusal, which
// names no file.
Result<DecodedImage> decodeImage(const QByteArray& data);

// Decodes and converts an image file's bytes; what is said about the file starts with `name`.
Result<ImagePicture> pictureFromImageData(const QByteArray& data, const QString& name,
                                          const ImageOptions& options);

// Reads, checks and converts the named file, of at most MaxImageFileBytes, as
// pictureFromImageData(). Of an animated image the first frame is taken; a photo's orientation
// tag is applied.
Result<ImagePicture> loadImagePicture(const QString& fileName, const ImageOptions& options);

// Whether the named file's content is an image this program reads (by its first bytes, not its
// name). Only a regular file is looked at; one that cannot be read is refused, by name.
Result<bool> isImageFile(const QString& fileName);

} // namespace orvane
