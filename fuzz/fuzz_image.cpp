// libFuzzer target for the image import. The bytes go the way a file's do in loadImagePicture():
// the checks on the bytes, Qt's decoders (PNG, GIF, JPEG, ICO, BMP, PNM, XBM, XPM), then the
// picture. For any input the import must return without a crash or undefined behaviour, and
// within the time and memory bounds (-timeout, -rss_limit_mb); a refusal gives a reason; an
// image it decodes stays within the size limits, and gives a picture.

#include "imageimport.h"

#include "invariant.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cstdint>
#include <fcntl.h>

using namespace orvane;
using orvane::fuzz::fail;

namespace {

bool pastLimits(QSize size) {
    return size.width() > MaxImageSide || size.height() > MaxImageSide ||
           qint64(size.width()) * size.height() > MaxImagePixels;
}

} // namespace

// Only under a sanitizer; the replay in the normal build has none.
extern "C" __attribute__((weak)) void __sanitizer_set_report_fd(void* fd);

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The import takes over standard error while it decodes; a sanitizer's report must not go
    // there.
    if (__sanitizer_set_report_fd)
        __sanitizer_set_report_fd(reinterpret_cast<void*>(intptr_t(fcntl(2, F_DUPFD_CLOEXEC, 3))));
    static QCoreApplication app(*argc, *argv); // for Qt's image plugins
    configureImageReading();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<DecodedImage> decoded = decodeImage(input);
    if (!decoded) {
        if (decoded.error().isEmpty())
            fail("a refusal without a reason");
        return 0;
    }
    if (decoded->image.isNull())
        fail("an empty image accepted");
    if (pastLimits(decoded->image.size()))
        fail("decoded an image past the limits");
    if (pastLimits(decoded->size))
        fail("accepted an image whose full size is past the limits");
    const Result<ImagePicture> picture = pictureFromImage(decoded->image, {});
    if (!picture)
        fail("a decoded image without a picture");
    return 0;
}
