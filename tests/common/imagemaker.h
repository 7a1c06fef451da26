#pragma once

// Image files of black pixels written byte by byte, to be cut short by a test.

#include <QByteArray>
#include <QSize>

namespace orvane::testing {

// A PNG, RGBA at 8 bits.
QByteArray pngImage(QSize size);
// A baseline JPEG of three components, each block one code for DC 0 and one for its end.
QByteArray jpegImage(QSize size);

} // namespace orvane::testing
