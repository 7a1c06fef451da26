#include "imageexport.h"

#include "boundedfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageWriter>

#include <algorithm>
#include <cstring>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Image)
};
} // namespace

QImage imageFromPicture(const CellTextReader& cells, int scale) {
    if (scale < MinImageScale || scale > MaxImageScale)
        return QImage();
    QImage image(PatternCols * scale, PatternRows * scale, QImage::Format_Grayscale8);
    if (image.isNull())
        return image;
    for (int row = 1; row <= PatternRows; ++row) {
        uchar* first = image.scanLine((row - 1) * scale);
        for (int col = 0; col < PatternCols; ++col)
            std::memset(first + col * scale, isLit(cells(row, col)) ? 255 : 0, size_t(scale));
        for (int y = 1; y < scale; ++y)
            std::memcpy(image.scanLine((row - 1) * scale + y), first, size_t(image.width()));
    }
    return image;
}

// The temporary file is removed and any existing file is left as it was.
Result<void> savePng(const QString& fileName, const CellTextReader& cells, int scale) {
    const QString form = Text::tr("%1: cannot save the image: %2");
    auto fail = [&](const QString& reason) { return Refusal(fileName, reason, form); };
    const QImage image = imageFromPicture(cells, scale);
    if (image.isNull())
        return fail(Text::tr("the scale %1 is outside %2 to %3")
                        .arg(scale)
                        .arg(MinImageScale)
                        .arg(MaxImageScale));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return fail(writer.errorString());

    return replaceFile(fileName, bytes).framed(form);
}

} // namespace orvane
