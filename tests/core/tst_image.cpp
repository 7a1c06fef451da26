// Pictures from images and back, on images made here and the files of images/ (see its README).

#include "imagebytes.h"
#include "imageexport.h"
#include "imageimport.h"
#include "imagemaker.h"
#include "testfiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

class TestImage : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    static QString imagePath(const QString& n) {
        return ORVANE_SOURCE_DIR "/tests/core/images/" + n;
    }
    static QByteArray image(const QString& name) { return readFile(imagePath(name)); }

    // 8 lines of 50 characters, '#' for a lit dot: readable when a comparison fails.
    static QString dots(const std::function<bool(int x, int y)>& lit) {
        QString text;
        for (int y = 0; y < PatternRows; ++y)
            for (int x = 0; x <= PatternCols; ++x)
                text += x == PatternCols ? u'\n' : lit(x, y) ? u'#' : u'.';
        return text;
    }
    static QString shown(const Result<ImagePicture>& r) {
        return r ? dots([&](int x, int y) { return isLit(r->picture.text(y + 1, x)); }) : r.error();
    }
    // An image 8 pixels high, by default an irregular pattern: white where lit, black elsewhere.
    static bool pattern(int x, int y) { return (x * 7 + y * 3) % 5 == 0 || x == 49 || y == 7; }
    static QImage imageOf(const std::function<QRgb(int x, int y)>& pixel = {}, int width = 50) {
        QImage image(width, PatternRows, QImage::Format_ARGB32);
        for (int y = 0; y < PatternRows; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, pixel ? pixel(x, y) : pattern(x, y) ? 0xFFFFFFFF : 0xFF000000);
        return image;
    }

private slots:
    void initTestCase() { configureImageReading(); }

    // Scaled to 8 rows; a tall narrow image keeps a column; past 50 columns is cut, warned.
    void mapsEachPixelToItsDot() {
        QCOMPARE(shown(pictureFromImage(imageOf(), {})), dots(pattern));
        QImage tall(2, 400, QImage::Format_RGB32);
        tall.fill(Qt::white);
        QCOMPARE(shown(pictureFromImage(tall, {})), dots([](int x, int) { return x == 0; }));
        const QImage wide = imageOf().scaled(100, 16).copy(0, 0, 120, 16);
        const QString path = dir.filePath(QStringLiteral("wide.png"));
        QVERIFY(wide.save(path));
        const Result<ImagePicture> result = loadImagePicture(path, {});
        QCOMPARE(shown(result), dots(pattern));
        QCOMPARE(result->image.height(), PatternRows); // kept scaled, to convert again
        QCOMPARE(shown(pictureFromImage(result->image, {})), dots(pattern));
        QCOMPARE(result.warnings(),
                 QStringList(path + ": the image of 120 x 16 pixels is 60 columns "
                                    "wide at 8 rows; only its first 50 columns are shown"));
        QVERIFY(pictureFromImage(wide.copy(0, 0, 100, 16), {}).warnings().isEmpty());
    }

    // Grey 127, 128, blue, black, grey 254, white; white/black at alpha 0, 0, 127, 128, 128.
    void threshold() {
        const QRgb pixels[] = {0xFF7F7F7F, 0xFF808080, 0xFF0000FF, 0xFF000000,
                               0xFFFEFEFE, 0xFFFFFFFF, 0x00FFFFFF, 0x00000000,
                               0x7FFFFFFF, 0x80000000, 0x80FFFFFF};
        const QImage image = imageOf([&](int x, int) { return pixels[x]; }, std::size(pixels));
        QStringList rows;
        for (const ImageOptions options :
             {ImageOptions{50, false}, {50, true}, {0, false}, {100, true}})
            rows << shown(pictureFromImage(image, options)).left(11);
        QCOMPARE(rows, QStringList({".#..##....#", "#.##.....#.", "######...##", "#####....#."}));
        QVERIFY(!pictureFromImage(image, {-1, false}) && !pictureFromImage(image, {101, false}));
    }

    // The window's preview scales once and converts again at each threshold.
    void scalingOnceGivesTheSamePicture() {
        const QImage image = imageOf([](int x, int y) {
                                 return qRgb(x * 5, y * 30, 128);
                             }).scaled(137, 23, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage scaled = scaledToPictureHeight(image);
        for (int threshold : {0, 20, 35, 50, 65, 100})
            for (bool invert : {false, true})
                QCOMPARE(shown(pictureFromImage(scaled, {threshold, invert})),
                         shown(pictureFromImage(image, {threshold, invert})));
    }

    // A BMP whose pixels name colours past its table of two (here 200): those are black, not
    // whatever lies past the table.
    void pixelsPastTheColourTable() {
        const auto le = [](quint64 v, int bytes) {
            QByteArray b;
            for (int i = 0; i < bytes; ++i)
                b += char(v >> (8 * i));
            return b;
        };
        const QByteArray row = QByteArray(10, '\1') + QByteArray(42, '\xC8'); // 2 of padding
        const QByteArray bmp = "BM" + le(62 + 8 * 52, 4) + le(0, 4) + le(62, 4) + le(40, 4) +
                               le(50, 4) + le(8, 4) + le(1, 2) + le(8, 2) + le(0, 4) +
                               le(8 * 52, 4) + le(0, 8) + le(2, 4) + le(0, 4) +
                               QByteArray("\0\0\0\0\xff\xff\xff\0", 8) + row.repeated(8);
        QCOMPARE(decodeImage(bmp)->image.colorCount(), 256); // a colour for every pixel value
        QCOMPARE(shown(loadImagePicture(writeFile(dir, "past-the-table.bmp", bmp), {})),
                 dots([](int x, int) { return x < 10; }));
    }

    // What is lit, and the round trip, are checked with orvane-send --png and --image.
    void savesPng() {
        const QString path = dir.filePath(QStringLiteral("picture.png"));
        QVERIFY(savePng(path, DotPattern().reader(), 3));
        QCOMPARE(QImage(path).size(), QSize(150, 24));
        QVERIFY(!savePng(path, DotPattern().reader(), MaxImageScale + 1));
    }

    // Each format decoded at the size its name gives; past the limits, refused before decoding.
    void images_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message"); // empty: decoded
        const auto at = [](const QString& path, const QString& message) {
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path << message;
        };
        const auto row = [&](const char* name, const QString& message = {}) {
            at(imagePath(QLatin1String(name)), message);
        };
        for (const char* name :
             {"png-60x8.png", "png-rgb16-interlaced-9x30.png",
              "png-50x8-text-and-profile-of-100-kb.png", "bmp-rle8-50x8.bmp", "gif-50x8.gif",
              "gif-screen-60x16-frame-8x8.gif", "jpeg-progressive-50x8-100-scans.jpg",
              "jpeg-grey-800x640.jpg", "ico-png-256x256.ico", "ico-bitmap-4bit-32x8.ico",
              "pgm-16bit-50x8.pgm", "xbm-50x8.xbm", "xpm-50x8-2-chars.xpm",
              "png-50x8-profile-of-7.9-mb.png", "png-palette-4096x4096.png",
              "bmp-rle8-4096x4096.bmp"})
            row(name);
        const QString limits = " pixels, larger than the 32768 pixels a side and 16.8 million";
        row("png-declares-32769x8.png", "the image is 32769 x 8" + limits);
        row("png-declares-4097x4096.png", "the image is 4097 x 4096" + limits);
        row("bmp-top-down-declares-8x100000.bmp", "the image is 8 x 100000" + limits);
        row("ppm-declares-100000x8-after-a-comment.ppm", "the image is 100000 x 8" + limits);
        row("xbm-declares-8x100000.xbm", "the image is 8 x 100000" + limits);
        row("xpm-declares-100000x8.xpm", "the image is 100000 x 8" + limits);
        for (const char* name :
             {"png-declares-100000x100000.png", "bmp-declares-100000x100000.bmp",
              "ppm-declares-100000x100000.ppm", "xpm-declares-100000x100000.xpm"})
            row(name, "the image is 100000 x 100000" + limits);
        for (const QSize size : {QSize(40000, 8), QSize(5000, 4000)}) // no part is cut
            at(writeFile(dir, u"jpeg-%1x%2.jpg"_s.arg(size.width()).arg(size.height()),
                         jpegImage(size)),
               u"the image is %1 x %2"_s.arg(size.width()).arg(size.height()) + limits);
        // Qt reports a GIF's frame and an ICO's entry, but allocates the screen or what is inside.
        row("gif-screen-40000x8-frame-8x8.gif", "the image decodes to 40000 x 8" + limits);
        row("gif-screen-65535x1000-frame-100x100.gif",
            "the image decodes to 65535 x 1000" + limits);
        row("ico-entry-16x16-holds-png-40000x400.ico", "the image is 40000 x 400" + limits);
        row("gif-frame-65535x300-on-screen-50x8.gif",
            "the GIF image's first frame is 65535 x 300" + limits);
        row("ico-entry-16x16-holds-png-40000x1.ico", "the image is 40000 x 1" + limits);
        row("ico-entry-16x256-holds-bitmap-16x40000-data-cut.ico",
            "the image decodes to 16 x 40000" + limits);
        row("jpeg-101-scans.jpg", "the JPEG image has 101 scans, more than the 100 this program");
        row("png-50x8-cut-at-60-bytes.png", "cannot read the image: ");
        row("png-chunk-claims-2-gib.png", "cannot read the image: ");
        at(writeFile(dir, "padded.xbm",
                     image("xbm-50x8.xbm").replace("{", "{" + QByteArray(8 << 20, ' '))),
           "the file is larger than the 8 MiB this program reads as an image in a text format");

        const QString huge = writeFile(dir, "huge", {}); // sparse
        QVERIFY(QFile(huge).resize((32 << 20) + 1));
        at(huge, "the file is larger than the 32 MiB");
        at(makeNamedPipe(dir, "fifo"), "it is a device or a pipe, not a file");
        at(writeFile(dir, "empty", {}), "the file is empty");
        at(writeFile(dir, "text", "This is not a picture.\n"),
           "not an image in a format this program reads (bmp,");
    }
    void images() {
        QFETCH(QString, path);
        QFETCH(QString, message);
        const QString error = loadImagePicture(path, {0, false}).error();
        QVERIFY2(message.isEmpty() ? error.isEmpty() : error.startsWith(path + ": " + message),
                 qPrintable(error));
        if (!message.isEmpty())
            return;
        const auto m = QRegularExpression("(\\d+)x(\\d+)").match(QFileInfo(path).fileName());
        const QSize size(m.captured(1).toInt(), m.captured(2).toInt()); // a large JPEG reduced
        const Result<DecodedImage> decoded = decodeImage(readFile(path));
        QCOMPARE(
            (QList<QSize>{decoded->size, decoded->image.size()}),
            (QList<QSize>{size, path.endsWith(".jpg") && size.width() > 400 ? size / 10 : size}));
        QVERIFY(!decoded->image.textKeys().contains("k")); // no text chunk was kept
    }

    // libpng allocates and clears what a chunk's length says (here 2 GiB) before it finds it cut.
    void givesDecodersOnlyWhatTheyNeed() {
        QCOMPARE(imagebytes::gifFirstFrame(image("gif-50x8-3-frames.gif"), MaxImagePixels).data,
                 image("gif-50x8.gif"));
        QVERIFY(
            imagebytes::gifFirstFrame(image("gif-5x8-lzw-codes-of-4000-pixels.gif"), MaxImagePixels)
                .data.size() < 300);
        const QByteArray png = image("png-50x8.png");
        QCOMPARE(imagebytes::pngPixelsOnly(image("png-50x8-text-and-profile-of-100-kb.png")), png);
        const QByteArray header = png.left(png.indexOf("IDAT") - 4);
        QCOMPARE(imagebytes::pngPixelsOnly(header + "\x7f\xff\xff\xfftEXtk"), header);
    }
};

QTEST_GUILESS_MAIN(TestImage)
#include "tst_image.moc"
