// Pictures from images and images from pictures, on images made here and real files.

#include "imagebytes.h"
#include "imageexport.h"
#include "imageimport.h"
#include "imagemaker.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace orvane;
using namespace orvane::testing;

class TestImage : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    // 8 lines of 50 characters, '#' for a lit dot: readable when a comparison fails.
    static QString dots(const std::function<bool(int x, int y)>& lit) {
        QString text;
        for (int y = 0; y < PatternRows; ++y)
            for (int x = 0; x <= PatternCols; ++x)
                text += x == PatternCols ? u'\n' : lit(x, y) ? u'#' : u'.';
        return text;
    }
    static QString shown(const Result<ImagePicture>& r) {
        return r.ok ? dots([&](int x, int y) { return isLit(r.picture.text(y + 1, x)); })
                    : r.error();
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

    void mapsEachPixelToItsDot() {
        QCOMPARE(shown(pictureFromImage(imageOf(), {})), dots(pattern));
        // Each pixel as 2 x 2 is scaled back to 8 rows; a tall narrow image keeps one column.
        QCOMPARE(shown(pictureFromImage(imageOf().scaled(100, 16), {})), dots(pattern));
        QImage tall(2, 400, QImage::Format_RGB32);
        tall.fill(Qt::white);
        QCOMPARE(shown(pictureFromImage(tall, {})), dots([](int x, int) { return x == 0; }));

        // 60 columns at 8 rows: the pattern, then 10 columns that are cut off with a warning.
        const QImage wide = imageOf().scaled(100, 16).copy(0, 0, 120, 16);
        const QString path = dir.filePath(QStringLiteral("wide.png"));
        QVERIFY(wide.save(path));
        const Result<ImagePicture> result = loadImagePicture(path, {});
        QCOMPARE(shown(result), dots(pattern));
        QCOMPARE(result.warnings, QStringList(path + ": the image of 120 x 16 pixels is 60 columns "
                                                     "wide at 8 rows; only its first 50 columns "
                                                     "are shown"));
        QVERIFY(pictureFromImage(wide.copy(0, 0, 100, 16), {}).warnings.isEmpty());
    }

    void threshold_data() {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<QString>("lit");
        QTest::newRow("50") << 50 << false << ".#..##....#";
        QTest::newRow("50, invert") << 50 << true << "#.##.....#.";
        QTest::newRow("0") << 0 << false << "######...##";
        QTest::newRow("100, invert") << 100 << true << "#####....#.";
    }
    // A column each: grey 127, grey 128, pure blue, black, grey 254, white; then white, black,
    // white, black and white at alpha 0, 0, 127, 128 and 128. Less than half opaque stays dark.
    void threshold() {
        QFETCH(int, threshold);
        QFETCH(bool, invert);
        QFETCH(QString, lit);
        const QRgb pixels[] = {0xFF7F7F7F, 0xFF808080, 0xFF0000FF, 0xFF000000,
                               0xFFFEFEFE, 0xFFFFFFFF, 0x00FFFFFF, 0x00000000,
                               0x7FFFFFFF, 0x80000000, 0x80FFFFFF};
        const QImage image = imageOf([&](int x, int) { return pixels[x]; }, std::size(pixels));
        QCOMPARE(shown(pictureFromImage(image, {threshold, invert})),
                 dots([&](int x, int) { return lit.mid(x, 1) == u"#"; }));
        QVERIFY(!pictureFromImage(image, {-1, invert}).ok &&
                !pictureFromImage(image, {101, invert}).ok);
    }

    // Scaled once, an image converts at every threshold to what the image itself converts to:
    // what the window's preview relies on. A file's picture keeps its decoded image.
    void scalingOnceGivesTheSamePicture() {
        const QImage image = imageOf([](int x, int y) {
                                 return qRgb(x * 5, y * 30, 128);
                             }).scaled(137, 23, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage scaled = scaledToPictureHeight(image);
        QCOMPARE(scaled.height(), PatternRows);
        for (int threshold : {0, 20, 35, 50, 65, 100})
            for (bool invert : {false, true})
                QCOMPARE(shown(pictureFromImage(scaled, {threshold, invert})),
                         shown(pictureFromImage(image, {threshold, invert})));
        const QString path = dir.filePath(QStringLiteral("odd.png"));
        QVERIFY(image.save(path));
        QCOMPARE(loadImagePicture(path, {}).image.convertToFormat(image.format()), image);
    }

    // Round trips through PNG are checked with orvane-send --png and --image.
    void savesPng() {
        const DotPattern picture = pictureFromImage(imageOf(), {}).picture;
        const QString path = dir.filePath(QStringLiteral("picture.png"));
        QString error;
        QVERIFY2(savePng(path, picture.reader(), 3, &error), qPrintable(error));
        const QImage image(path);
        QCOMPARE(image.size(), QSize(150, 24));
        QCOMPARE(QList<QRgb>({image.pixel(147, 23), image.pixel(3, 0)}),
                 QList<QRgb>({qRgb(255, 255, 255), qRgb(0, 0, 0)}));
        const QString noFolder = dir.filePath(QStringLiteral("no/such/folder/p.png"));
        QVERIFY(!savePng(noFolder, picture.reader(), 1, &error));
        QVERIFY2(error.startsWith(noFolder + ": cannot save the image: "), qPrintable(error));
        QVERIFY(!savePng(path, picture.reader(), MaxImageScale + 1, &error));
    }

    void refusesFilesThatAreNoImage() {
        const QString fifo = testing::makeNamedPipe(dir, QStringLiteral("fifo"));
        const QString huge = testing::writeFile(dir, "huge", {}); // sparse
        QVERIFY(!fifo.isEmpty() && QFile(huge).resize((32 << 20) + 1));
        for (const auto& [path, message] : QList<std::pair<QString, QString>>{
                 {fifo, "it is a device or a pipe, not a file"},
                 {huge, "the file is larger than the 32 MiB"},
                 {testing::writeFile(dir, "empty", {}), "the file is empty"},
                 {testing::writeFile(dir, "text", "This is not a picture.\n"),
                  "not an image in a format this program reads (bmp,"}}) {
            const QString error = loadImagePicture(path, {}).error();
            QVERIFY2(error.startsWith(path + ": " + message), qPrintable(error));
        }
    }

    // Images whose headers, or what the decoder makes of them, pass the limits; or that make the
    // decoder go through far more than their pixels. Each is refused before decoding with what is
    // wrong; none of them is large.
    void refusesImagesPastTheLimits_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray noData = pngChunk("IDAT", {});
        const QString limits = " pixels, larger than the 32768 pixels a side and 16.8 million "
                               "pixels this program reads";
        const auto row = [&](const char* name, const QByteArray& bytes, const QString& message) {
            QTest::newRow(name) << bytes << message;
        };
        row("PNG, a side", pngImage({32769, 8}, 8, 6, false, noData, false),
            "the image is 32769 x 8" + limits);
        row("PNG, pixels", pngImage({4097, 4096}, 8, 6, false, noData, false),
            "the image is 4097 x 4096" + limits);
        row("BMP, top-down", bmpImage({8, 8}, 8).replace(22, 4, "\x60\x79\xfe\xff"),
            "the image is 8 x 100000" + limits);
        row("PPM", "P6\n# comment 1 1\n100000 8\n255\n", "the image is 100000 x 8" + limits);
        row("XBM", xbmImage({8, 8}).replace("height 8", "height 100000"),
            "the image is 8 x 100000" + limits);
        row("XPM", xpmImage({8, 8}).replace("\"8 8 ", "\"100000 8 "),
            "the image is 100000 x 8" + limits);
        // Qt gives the frame's size, but allocates the logical screen.
        row("GIF, screen wider than frame", gifImage({40000, 8}, {0, 0, 8, 8}),
            "the image decodes to 40000 x 8" + limits);
        // The decoder goes through every pixel of the frame, on the screen or not.
        row("GIF, frame larger than screen", gifImage({50, 8}, {0, 0, 65535, 300}, 1, 1000),
            "the GIF image's first frame is 65535 x 300" + limits);
        // Qt gives the directory entry's size, but decodes the PNG or bitmap as it is.
        row("ICO, a larger PNG", icoWithPng({16, 16}, pngImage({40000, 1}, 8, 0)),
            "the image is 40000 x 1" + limits);
        row("ICO, a taller bitmap", icoWithBitmap({16, 0}, {16, 40000}, 8),
            "the image decodes to 16 x 40000" + limits);
        row("JPEG, scans", jpegImage({8, 8}, 1, MaxJpegScans),
            "the JPEG image has 101 scans, more than the 100 this program reads");
        row("XBM, long", xbmImage({8, 8}).replace("{", "{" + QByteArray(8 << 20, ' ')),
            "the file is larger than the 8 MiB this program reads as an image in a text format");
        // The decoder's own words follow, which differ between builds of libpng.
        row("PNG, cut short", pngImage({50, 8}).left(60), "cannot read the image: ");
    }
    void refusesImagesPastTheLimits() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = writeFile(dir, QTest::currentDataTag(), bytes);
        const Result<ImagePicture> result = loadImagePicture(path, {});
        QVERIFY(!result.ok);
        QCOMPARE(result.error().left(path.size() + 2 + message.size()), path + ": " + message);
    }

    // One of each format, and images at the limits that cost the most: each is decoded whole (a
    // JPEG at a reduced size), and nothing more of it is kept than the picture needs.
    void decodesWithinTheLimits_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("decoded");
        const auto row = [](const char* name, const QByteArray& bytes, QSize size,
                            QSize decoded = {}) {
            QTest::newRow(name) << bytes << size << (decoded.isValid() ? decoded : size);
        };
        row("PNG", pngImage({60, 8}), {60, 8});
        row("PNG, 16 bits interlaced", pngImage({9, 30}, 16, 2, true), {9, 30});
        row("PNG, text and profile",
            pngImage({50, 8}, 8, 6, false, pngTextBomb(3, 100'000) + pngProfileBomb(100'000)),
            {50, 8});
        row("BMP, run-length", bmpImage({50, 8}, 8), {50, 8});
        row("GIF", gifImage({50, 8}, {0, 0, 50, 8}), {50, 8});
        row("GIF, screen larger than frame", gifImage({60, 16}, {4, 4, 8, 8}), {60, 16});
        row("JPEG, progressive", jpegImage({50, 8}, 3, MaxJpegScans - 1), {50, 8});
        row("JPEG, reduced", jpegImage({800, 640}, 1), {800, 640}, {80, 64});
        row("ICO, PNG", icoWithPng({0, 0}, pngImage({256, 256}, 8, 0)), {256, 256});
        row("ICO, bitmap", icoWithBitmap({32, 8}, {32, 8}, 4), {32, 8});
        row("PGM, 16 bits", pnmImage('5', {50, 8}, 65535), {50, 8});
        row("XBM", xbmImage({50, 8}), {50, 8});
        row("XPM", xpmImage({50, 8}, 2), {50, 8});
    }
    void decodesWithinTheLimits() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QSize, decoded);
        const DecodedImage image = decodeImage(bytes);
        QVERIFY2(image.error.isEmpty(), qPrintable(image.error));
        QCOMPARE(image.size, size);
        QCOMPARE(image.image.size(), decoded);
        QVERIFY(!image.image.textKeys().contains("k")); // no text chunk was kept
        const Result<ImagePicture> picture = pictureFromImageData(bytes, "x", {0, false});
        QVERIFY2(picture.ok, qPrintable(picture.error()));
    }

    // What the decoders are given. Of a GIF, the first frame and no more image data than its
    // pixels need (each code of the LZW data here stands for some 4000 pixels). Of a PNG, only
    // the chunks that make its pixels, and no chunk cut short: libpng allocates and clears what
    // its length says (here 2 GiB) before it finds the data missing.
    void givesDecodersOnlyWhatTheyNeed() {
        const QByteArray frames = gifImage({50, 8}, {0, 0, 50, 8}, 100);
        const QByteArray one = gifImage({50, 8}, {0, 0, 50, 8}, 1);
        QCOMPARE(imagebytes::gifFirstFrame(frames, MaxImagePixels).data, one);
        const QByteArray bomb = gifImage({5, 8}, {0, 0, 5, 8}, 1, 100'000);
        QVERIFY(bomb.size() > 100'000);
        QVERIFY(imagebytes::gifFirstFrame(bomb, MaxImagePixels).data.size() < 300);

        const QByteArray png = pngImage({50, 8});
        const qsizetype data = png.indexOf("IDAT") - 4;
        QCOMPARE(imagebytes::pngPixelsOnly(QByteArray(png).insert(data, pngTextBomb(3, 1000))),
                 png);
        const QByteArray cut = png.left(data) + "\x7f\xff\xff\xfftEXtk\0text";
        QCOMPARE(imagebytes::pngPixelsOnly(cut), png.left(data));
    }
};

QTEST_GUILESS_MAIN(TestImage)
#include "tst_image.moc"
