// Pictures from images and images from pictures, on images made here and real files.

#include "imageexport.h"
#include "imageimport.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace orvane;

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
    static QString shown(const ImageImport& r) {
        return r.ok ? dots([&](int x, int y) { return isLit(r.picture.text(y + 1, x)); }) : r.error;
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
        const ImageImport result = loadImagePicture(path, {});
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
        QTest::newRow("0, invert") << 0 << true << "...........";
        QTest::newRow("100") << 100 << false << ".....#....#";
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
                  "not an image in a format this program reads (bmp,"},
                 {testing::writeFile(dir, "big.ppm", "P6 8192 8192 255\n"),
                  "the image is 8192 x 8192 pixels, larger"}}) {
            const QString error = loadImagePicture(path, {}).error;
            QVERIFY2(error.startsWith(path + ": " + message), qPrintable(error));
        }
    }
};

QTEST_GUILESS_MAIN(TestImage)
#include "tst_image.moc"
