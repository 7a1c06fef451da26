#pragma once

// An image of the picture: white for a lit dot, black for a dark one, `scale` x `scale` pixels a
// dot. Reading the image back as a picture gives the same picture.

#include "dotpattern.h"
#include "result.h"

#include <QImage>
#include <QString>

namespace orvane {

inline constexpr int MinImageScale = 1;
inline constexpr int MaxImageScale = 100;

// A grey image of 50 * scale x 8 * scale pixels; a null image when scale is out of range.
QImage imageFromPicture(const CellTextReader& cells, int scale = 1);

// Writes the image as a PNG file atomically: an existing file is replaced only once the new one
// is completely on disk. A refusal names the file.
Result<void> savePng(const QString& fileName, const CellTextReader& cells, int scale);

} // namespace orvane
