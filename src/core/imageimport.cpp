#include "imageimport.h"

#include "boundedfile.h"
#include "imagebytes.h"
#include "messages.h"

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

// Enough for the largest accepted image at 16 bits a channel (8 bytes a pixel); a decoder that
// would allocate more for an image fails instead.
constexpr int AllocationLimitMiB = int(MaxImagePixels * 8 >> 20);

// A JPEG taller than this is decoded at a reduced size (libjpeg scales by 1/2, 1/4 or 1/8 as it
// decodes) to about this many rows, still 8 source rows a dot.
constexpr int JpegRows = PatternRows * 8;

constexpr int OpaqueAlpha = 128;

// The formats read, as QImageReader names them. Others its plugins may offer are not measured
// against the limits above.
const QList<QByteArray>& readFormats() {
    static const QList<QByteArray> formats = [] {
        QList<QByteArray> names;
        const QList<QByteArray> supported = QImageReader::supportedImageFormats();
        for (const char* name :
             {"bmp", "cur", "gif", "ico", "jpeg", "pbm", "pgm", "png", "ppm", "xbm", "xpm"})
            if (supported.contains(name))
                names << name;
        return names;
    }();
    return formats;
}

Refusal failed(const QString& reason, const QString& fileName = QString()) {
    return {fileName, reason};
}

// An indexed image whose pixels go past its colour table (a damaged BMP, say) would have Qt read
// past the table as it converts or scales the image; the missing colours are black.
void completeColourTable(QImage& image) {
    const int colours = image.format() == QImage::Format_Indexed8 ? 256
                        : image.depth() == 1                      ? 2
                                                                  : 0;
    if (image.colorCount() >= colours)
        return;
    QList<QRgb> table = image.colorTable();
    while (table.size() < colours)
        table << qRgb(0, 0, 0);
    image.setColorTable(table);
}

// The image at 8 pixels high, its width following its aspect ratio (at least one pixel). The
// image is premultiplied in place, as the smooth scaling wants it, rather than copied.
QImage atPictureHeight(QImage image) {
    if (image.height() == PatternRows)
        return image;
    const qint64 width =
        (qint64(image.width()) * PatternRows * 2 + image.height()) / (qint64(image.height()) * 2);
    if (image.format() == QImage::Format_ARGB32)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    else if (image.format() == QImage::Format_RGBA64)
        image.convertTo(QImage::Format_RGBA64_Premultiplied);
    return image.scaled(int(std::max<qint64>(width, 1)), PatternRows, Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

QString sizeText(QSize size) {
    return Text::tr("%1 x %2 pixels").arg(size.width()).arg(size.height());
}

QString withFileName(const QString& fileName, const QString& message) {
    return QStringLiteral("%1: %2").arg(fileName, message);
}

bool tooLarge(QSize size) {
    return size.width() > MaxImageSide || size.height() > MaxImageSide ||
           qint64(size.width()) * size.height() > MaxImagePixels;
}

QString limitsText() {
    return Text::tr("the %1 pixels a side and %2 million pixels this program reads")
        .arg(MaxImageSide)
        .arg(double(MaxImagePixels) / 1e6, 0, 'f', 1);
}

QString tooLargeText(QSize size) {
    return Text::tr("the image is %1, larger than %2").arg(sizeText(size), limitsText());
}

QString decodesTooLargeText(QSize size) {
    return Text::tr("the image decodes to %1, larger than %2").arg(sizeText(size), limitsText());
}

// Checks the bytes, and what the decoder will allocate, where Qt's reported size may not tell;
// may swap them for bytes with only what the first image needs.
QString vetBytes(QByteArray* data, QByteArray* format) {
    const bool plain = (*format == "pbm" || *format == "pgm" || *format == "ppm") &&
                       data->size() > 1 && data->at(1) >= '1' && data->at(1) <= '3';
    const bool text = *format == "xbm" || *format == "xpm" || plain;
    if (text && data->size() > MaxTextImageFileBytes)
        return Text::tr("the file is larger than the %1 MiB this program reads as an image in a "
                        "text format (XBM, XPM, plain PBM/PGM/PPM)")
            .arg(MaxTextImageFileBytes >> 20);
    QSize decodes;
    if (*format == "ico" || *format == "cur") {
        const imagebytes::Icon icon = imagebytes::iconFirstImage(*data);
        if (!icon.png.isEmpty()) {
            *data = icon.png;
            *format = "png";
        }
        decodes = icon.size;
    }
    if (*format == "png") {
        *data = imagebytes::pngPixelsOnly(*data);
    } else if (*format == "gif") {
        imagebytes::Gif gif = imagebytes::gifFirstFrame(*data, MaxImagePixels);
        if (tooLarge(gif.frame))
            return Text::tr("the GIF image's first frame is %1, larger than %2")
                .arg(sizeText(gif.frame), limitsText());
        *data = std::move(gif.data);
        decodes = gif.size;
    } else if (*format == "jpeg") {
        const int scans = imagebytes::jpegScanCount(*data);
        if (scans > MaxJpegScans)
            return Text::tr("the JPEG image has %1 scans, more than the %2 this program reads")
                .arg(scans)
                .arg(MaxJpegScans);
    }
    if (decodes.isValid() && tooLarge(decodes))
        return decodesTooLargeText(decodes);
    const QSize declared = imagebytes::declaredSize(*data, *format);
    if (declared.isValid() && tooLarge(declared))
        return tooLargeText(declared);
    return QString();
}

// What the decoder said, in one line.
QString said(const QStringList& lines) {
    return lines.join(QStringLiteral("; "));
}

QString thresholdError(const ImageOptions& options) {
    if (options.threshold >= MinThreshold && options.threshold <= MaxThreshold)
        return QString();
    return Text::tr("the threshold %1 is outside %2 to %3")
        .arg(options.threshold)
        .arg(MinThreshold)
        .arg(MaxThreshold);
}

// The picture from an image that can be scaled in place; `size` is the image's full size, for
// what is said about it.
Result<ImagePicture> picture(QImage image, QSize size, const ImageOptions& options) {
    if (!thresholdError(options).isEmpty())
        return failed(thresholdError(options));
    if (image.isNull())
        return failed(Text::tr("the image is empty"));
    QImage rows = atPictureHeight(std::move(image));
    const QImage scaled = rows.convertToFormat(QImage::Format_ARGB32);
    if (scaled.isNull())
        return failed(Text::tr("the image of %1 cannot be scaled to %2 rows")
                          .arg(sizeText(size))
                          .arg(PatternRows));

    ImagePicture result{{}, std::move(rows)};
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
    QStringList warnings;
    if (scaled.width() > PatternCols)
        warnings << Text::tr("the image of %1 is %2 columns wide at %3 rows; "
                             "only its first %4 columns are shown")
                        .arg(sizeText(size))
                        .arg(scaled.width())
                        .arg(PatternRows)
                        .arg(PatternCols);
    return {std::move(result), warnings};
}

} // namespace

void configureImageReading() {
    QImageReader::setAllocationLimit(AllocationLimitMiB);
}

Result<ImagePicture> pictureFromImage(const QImage& image, const ImageOptions& options) {
    return picture(image, image.size(), options);
}

Result<DecodedImage> decodeImage(const QByteArray& bytes) {
    MessageCapture capture;
    QByteArray data = bytes;
    QByteArray format;
    {
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        if (reader.canRead())
            format = reader.format();
    }
    // Qt does not recognise an XBM whose size it finds unreasonable.
    if (format.isEmpty() && data.startsWith("#define") &&
        tooLarge(imagebytes::declaredSize(data, "xbm")))
        return failed(tooLargeText(imagebytes::declaredSize(data, "xbm")));
    if (!readFormats().contains(format))
        return failed(Text::tr("not an image in a format this program reads (%1)")
                          .arg(QString::fromLatin1(readFormats().join(", "))));
    if (const QString unsafe = vetBytes(&data, &format); !unsafe.isEmpty())
        return failed(unsafe);

    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && tooLarge(size))
        return failed(tooLargeText(size));
    if (format == "jpeg" && size.height() > JpegRows)
        reader.setScaledSize(
            QSize(int(std::max<qint64>(
                      (qint64(size.width()) * JpegRows + size.height() / 2) / size.height(), 1)),
                  JpegRows));
    DecodedImage result{reader.read(), {}};
    const QStringList lines = capture.finish();
    if (result.image.isNull())
        return failed(Text::tr("cannot read the image: %1")
                          .arg(lines.isEmpty() ? reader.errorString() : said(lines)));
    completeColourTable(result.image);
    const bool scaled = reader.scaledSize().isValid();
    result.size = scaled ? size : result.image.size();
    if (scaled && reader.transformation() & QImageIOHandler::TransformationRotate90)
        result.size.transpose();
    if (tooLarge(result.image.size()))
        return failed(decodesTooLargeText(result.image.size()));
    return {std::move(result), lines};
}

Result<ImagePicture> pictureFromImageData(const QByteArray& data, const QString& name,
                                          const ImageOptions& options) {
    if (!thresholdError(options).isEmpty())
        return failed(thresholdError(options)); // not the file's fault: no file name
    if (data.isEmpty())
        return failed(Text::tr("the file is empty"), name);
    Result<DecodedImage> decoded = decodeImage(data);
    if (!decoded)
        return failed(decoded.refusal().reason, name);
    // Moved, so that the decoded image, the largest thing here, is converted in place, not copied.
    Result<ImagePicture> converted =
        picture(std::move(decoded.value().image), decoded->size, options);
    if (!converted)
        return failed(converted.refusal().reason, name);
    Result<ImagePicture> result(std::move(converted).value());
    for (const QString& warning : decoded.warnings() + converted.warnings())
        result.warn(withFileName(name, warning));
    return result;
}

Result<ImagePicture> loadImagePicture(const QString& fileName, const ImageOptions& options) {
    if (!thresholdError(options).isEmpty())
        return failed(thresholdError(options));
    const Result<FileBytes> file = readBoundedFile(fileName, MaxImageFileBytes);
    if (!file)
        return file.refusal();
    if (file->truncated)
        return failed(Text::tr("the file is larger than the %1 MiB this program reads as an image")
                          .arg(MaxImageFileBytes >> 20),
                      fileName);
    return pictureFromImageData(file->data, fileName, options);
}

QImage scaledToPictureHeight(const QImage& image) {
    return image.isNull() ? image : atPictureHeight(image);
}

Result<bool> isImageFile(const QString& fileName) {
    const Result<FileBytes> head = readBoundedFile(fileName, 4096);
    if (!head)
        return head.refusal();
    QBuffer buffer;
    buffer.setData(head->data);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).canRead();
}

} // namespace orvane
