#pragma once

// Image files written byte by byte, of black pixels, to be cut short or altered by a test (the
// images of tests/core/images/ came from a larger form of this).

#include <QByteArray>
#include <QSize>

namespace orvane::testing {

// A PNG, RGBA at 8 bits.
QByteArray pngImage(QSize size);
// A baseline JPEG of three components, each block one code for DC 0 and one for its end.
QByteArray jpegImage(QSize size);

} // namespace orvane::testing
