#include "imageimport.h"

#include "boundedfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>

#include <algorithm>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Image)
};
} // namespace

namespace {

// Enough for the largest accepted image at 16 bits a channel (8 bytes a pixel).
constexpr int AllocationLimitMiB = int(MaxImagePixels * 8 >> 20);

constexpr int OpaqueAlpha = 128;

ImageImport failed(const QString& reason) {
    ImageImport result;
    result.error = reason;
    return result;
}

// The image at 8 pixels high, its width following its aspect ratio (at least one pixel).
QImage atPictureHeight(const QImage& image) {
    if (image.height() == PatternRows)
        return image;
    const qint64 width =
        (qint64(image.width()) * PatternRows * 2 + image.height()) / (qint64(image.height()) * 2);
    return image.scaled(int(std::max<qint64>(width, 1)), PatternRows, Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

QString sizeText(QSize size) {
    return Text::tr("%1 x %2 pixels").arg(size.width()).arg(size.height());
}

QString withFileName(const QString& fileName, const QString& message) {
    return QStringLiteral("%1: %2").arg(fileName, message);
}

// Decodes the file's bytes, refusing an image too large before it is decoded.
QImage decode(const QByteArray& data, QString* error) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader::setAllocationLimit(AllocationLimitMiB);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        *error = Text::tr("not an image in a format this program reads (%1)")
                     .arg(QString::fromLatin1(QImageReader::supportedImageFormats().join(", ")));
        return QImage();
    }
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxImageSide || size.height() > MaxImageSide ||
                           qint64(size.width()) * size.height() > MaxImagePixels)) {
        *error = Text::tr("the image is %1, larger than the %2 pixels a side and %3 "
                          "megapixels this program reads")
                     .arg(sizeText(size))
                     .arg(MaxImageSide)
                     .arg(MaxImagePixels >> 20);
        return QImage();
    }
    QImage image = reader.read();
    if (image.isNull())
        *error = Text::tr("cannot read the image: %1").arg(reader.errorString());
    return image;
}

QString thresholdError(const ImageOptions& options) {
    if (options.threshold >= MinThreshold && options.threshold <= MaxThreshold)
        return QString();
    return Text::tr("the threshold %1 is outside %2 to %3")
        .arg(options.threshold)
        .arg(MinThreshold)
        .arg(MaxThreshold);
}

} // namespace

ImageImport pictureFromImage(const QImage& image, const ImageOptions& options) {
    if (!thresholdError(options).isEmpty())
        return failed(thresholdError(options));
    if (image.isNull())
        return failed(Text::tr("the image is empty"));
    const QImage scaled = atPictureHeight(image).convertToFormat(QImage::Format_ARGB32);
    if (scaled.isNull())
        return failed(Text::tr("the image of %1 cannot be scaled to %2 rows")
                          .arg(sizeText(image.size()))
                          .arg(PatternRows));

    ImageImport result;
    result.ok = true;
    const int cols = std::min(scaled.width(), PatternCols);
    for (int y = 0; y < PatternRows; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scaled.constScanLine(y));
        for (int x = 0; x < cols; ++x) {
            const QRgb pixel = line[x];
            const bool bright = qGray(pixel) * 100 >= options.threshold * 255;
            const bool lit = qAlpha(pixel) >= OpaqueAlpha && bright != options.invert;
            result.picture.setText(y + 1, x, lit ? LitText : DarkText);
        }
    }
    if (scaled.width() > PatternCols)
        result.warnings << Text::tr("the image of %1 is %2 columns wide at %3 rows; "
                                    "only its first %4 columns are shown")
                               .arg(sizeText(image.size()))
                               .arg(scaled.width())
                               .arg(PatternRows)
                               .arg(PatternCols);
    return result;
}

ImageImport loadImagePicture(const QString& fileName, const ImageOptions& options) {
    if (!thresholdError(options).isEmpty())
        return failed(thresholdError(options)); // not the file's fault: no file name
    const BoundedRead file = readBoundedFile(fileName, MaxImageFileBytes);
    if (!file.ok)
        return failed(withFileName(fileName, file.error));
    if (file.truncated)
        return failed(withFileName(fileName, Text::tr("the file is larger than the %1 MiB "
                                                      "this program reads as an image")
                                                 .arg(MaxImageFileBytes >> 20)));
    if (file.data.isEmpty())
        return failed(withFileName(fileName, Text::tr("the file is empty")));
    QString reason;
    const QImage image = decode(file.data, &reason);
    if (image.isNull())
        return failed(withFileName(fileName, reason));
    ImageImport result = pictureFromImage(image, options);
    result.image = image;
    if (!result.ok)
        result.error = withFileName(fileName, result.error);
    for (QString& warning : result.warnings)
        warning = withFileName(fileName, warning);
    return result;
}

QImage scaledToPictureHeight(const QImage& image) {
    return image.isNull() ? image : atPictureHeight(image);
}

bool isImageFile(const QString& fileName, QString* unreadable) {
    const BoundedRead head = readBoundedFile(fileName, 4096);
    if (!head.ok) {
        if (unreadable)
            *unreadable = withFileName(fileName, head.error);
        return false;
    }
    QBuffer buffer;
    buffer.setData(head.data);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).canRead();
}

} // namespace orvane
