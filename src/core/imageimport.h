#pragma once

// A picture from an image: any format Qt reads (PNG, BMP, GIF, JPEG, PPM, ...).
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

#include <QImage>
#include <QString>
#include <QStringList>

namespace orvane {

inline constexpr int MinThreshold = 0;
inline constexpr int MaxThreshold = 100;
inline constexpr int DefaultThreshold = 50;

// Bounds on what is read: the file's size, and the image's size checked before it is decoded.
inline constexpr qint64 MaxImageFileBytes = 32 << 20;
inline constexpr int MaxImageSide = 32768;
inline constexpr qint64 MaxImagePixels = 32 << 20;

struct ImageOptions {
    int threshold = DefaultThreshold; // percent, MinThreshold..MaxThreshold
    bool invert = false;
};

struct ImageImport {
    bool ok = false;
    DotPattern picture;   // "R" for a lit dot, "B" for a dark one
    QStringList warnings; // something was lost (cut off), but there is a picture
    QString error;        // why there is no picture
    QImage image;         // loadImagePicture(): the image as decoded, to convert again
};

ImageImport pictureFromImage(const QImage& image, const ImageOptions& options);

// The image as pictureFromImage() scales it. Converting the result gives the same picture as
// converting the image itself (only a warning names the smaller size), so a preview can scale
// once and convert again for each threshold.
QImage scaledToPictureHeight(const QImage& image);

// Reads, checks and converts the named file; what is said about the file starts with its name.
// Only a regular file of at most MaxImageFileBytes is read, and an image larger than MaxImageSide
// a side or MaxImagePixels in all is refused before it is decoded. Of an animated image the first
// frame is taken; a photo's orientation tag is applied. Sets Qt's allocation limit for decoded
// images (QImageReader::setAllocationLimit, process-wide) to what the largest accepted image needs.
ImageImport loadImagePicture(const QString& fileName, const ImageOptions& options);

// Whether the named file's content is an image this program reads (by its first bytes, not its
// name). Only a regular file is looked at; when the file cannot be read, sets *unreadable (if
// given) to why, starting with the file's name.
bool isImageFile(const QString& fileName, QString* unreadable = nullptr);

} // namespace orvane
