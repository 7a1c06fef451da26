// Pictures from images and images from pictures, on images made here and real files in a
// temporary folder.

#include "imageexport.h"
#include "imageimport.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace orvane;

namespace {

// The picture as 8 lines of 50 characters, '#' for a lit dot: readable when a comparison fails.
QString shown(const DotPattern& picture) {
    QString text;
    for (int row = 1; row <= PatternRows; ++row) {
        for (int col = 0; col < PatternCols; ++col)
            text += isLit(picture.text(row, col)) ? u'#' : u'.';
        text += u'\n';
    }
    return text;
}
QString uniform(int litCols) {
    return (QString(litCols, u'#') + QString(PatternCols - litCols, u'.') + u'\n')
        .repeated(PatternRows);
}

// An irregular 50 x 8 pattern, as image (white lit, black dark) and as picture.
bool patternLit(int x, int y) {
    return (x * 7 + y * 3) % 5 == 0 || x == 49 || y == 7;
}
QImage patternImage() {
    QImage image(PatternCols, PatternRows, QImage::Format_RGB32);
    for (int y = 0; y < PatternRows; ++y)
        for (int x = 0; x < PatternCols; ++x)
            image.setPixel(x, y, patternLit(x, y) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}
DotPattern patternPicture() {
    DotPattern picture;
    for (int row = 1; row <= PatternRows; ++row)
        for (int col = 0; col < PatternCols; ++col)
            picture.setText(row, col, patternLit(col, row - 1) ? LitText : DarkText);
    return picture;
}

QString fromImage(const QImage& image, ImageOptions options = {}) {
    const ImageImport result = pictureFromImage(image, options);
    return result.ok ? shown(result.picture) : result.error;
}

QByteArray bigEndian(quint32 value) {
    return QByteArray(1, char(value >> 24)) + char(value >> 16) + char(value >> 8) + char(value);
}
QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : type + data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    }
    return bigEndian(quint32(data.size())) + type + data + bigEndian(~crc);
}
// A PNG with a valid header claiming the given size, and a few bytes of pixels.
QByteArray pngClaiming(quint32 width, quint32 height) {
    const QByteArray header =
        bigEndian(width) + bigEndian(height) + QByteArray("\x08\x02\0\0\0", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", QByteArray(64, 'x')) + pngChunk("IEND", QByteArray());
}

} // namespace

class TestImage : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void mapsEachPixelToItsDot() { QCOMPARE(fromImage(patternImage()), shown(patternPicture())); }

    void threshold_data() {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<bool>("lit");
        QTest::newRow("50: grey 127") << qRgb(127, 127, 127) << 50 << false << false;
        QTest::newRow("50: grey 128") << qRgb(128, 128, 128) << 50 << false << true;
        QTest::newRow("50: pure blue is dark") << qRgb(0, 0, 255) << 50 << false << false;
        QTest::newRow("0: black") << qRgb(0, 0, 0) << 0 << false << true;
        QTest::newRow("100: grey 254") << qRgb(254, 254, 254) << 100 << false << false;
        QTest::newRow("100: white") << qRgb(255, 255, 255) << 100 << false << true;
        QTest::newRow("invert 50: grey 127") << qRgb(127, 127, 127) << 50 << true << true;
        QTest::newRow("invert 0: black") << qRgb(0, 0, 0) << 0 << true << false;
        QTest::newRow("invert 100: grey 254") << qRgb(254, 254, 254) << 100 << true << true;
        QTest::newRow("transparent white") << qRgba(255, 255, 255, 0) << 0 << false << false;
        QTest::newRow("transparent, invert") << qRgba(0, 0, 0, 0) << 100 << true << false;
        QTest::newRow("alpha 127") << qRgba(255, 255, 255, 127) << 0 << false << false;
        QTest::newRow("alpha 128, invert") << qRgba(0, 0, 0, 128) << 50 << true << true;
    }
    void threshold() {
        QFETCH(QRgb, pixel);
        QFETCH(int, threshold);
        QFETCH(bool, invert);
        QFETCH(bool, lit);
        QImage image(PatternCols, PatternRows, QImage::Format_ARGB32);
        image.fill(pixel);
        QCOMPARE(fromImage(image, {threshold, invert}), uniform(lit ? PatternCols : 0));
        QVERIFY(!pictureFromImage(image, {-1, invert}).ok);
        QVERIFY(!pictureFromImage(image, {101, invert}).ok);
    }

    void scalesToEightRows() {
        const QImage twice = patternImage().scaled(100, 16); // each pixel as 2 x 2
        QCOMPARE(fromImage(twice), shown(patternPicture()));
        QImage tall(2, 400, QImage::Format_RGB32); // keeps at least one column
        tall.fill(Qt::white);
        QCOMPARE(fromImage(tall), uniform(1));
    }

    void cutsAWiderImageWithAWarning() {
        // 60 columns at 8 rows: the pattern, then 10 lit columns that are cut off.
        QImage wide(120, 16, QImage::Format_RGB32);
        wide.fill(Qt::white);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 100; ++x)
                wide.setPixel(x, y, patternImage().pixel(x / 2, y / 2));
        const QString path = dir.filePath(QStringLiteral("wide.png"));
        QVERIFY(wide.save(path));
        const ImageImport result = loadImagePicture(path, {});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(shown(result.picture), shown(patternPicture()));
        QCOMPARE(result.warnings, QStringList(path + ": the image of 120 x 16 pixels is 60 columns "
                                                     "wide at 8 rows; only its first 50 columns "
                                                     "are shown"));
        QVERIFY(pictureFromImage(wide.copy(0, 0, 100, 16), {}).warnings.isEmpty());
    }

    void readsCommonFormats_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("picture");
        for (const char* format : {"png", "bmp", "ppm", "pgm", "jpg"})
            QTest::newRow(format) << QStringLiteral("image.") + format << uniform(16);
        // Qt writes no GIF: one of 1 x 1 pixel, two frames (white, then black), made by hand.
        const QByteArray frame("\x2c\0\0\0\0\x01\0\x01\0\0\x02\x02", 12);
        QFile gif(dir.filePath(QStringLiteral("two-frames.gif")));
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.write(QByteArray("GIF89a\x01\0\x01\0\x80\0\0\xff\xff\xff\0\0\0", 19) + frame +
                  QByteArray("\x44\x01\0", 3) + frame + QByteArray("\x4c\x01\0;", 4));
        QTest::newRow("animated gif: its first frame") << "two-frames.gif" << uniform(8);
    }
    void readsCommonFormats() {
        QFETCH(QString, name);
        QFETCH(QString, picture);
        const QString path = dir.filePath(name);
        if (!name.endsWith(QStringLiteral(".gif"))) { // 16 white columns: whole JPEG blocks
            QImage image(PatternCols, PatternRows, QImage::Format_RGB32);
            image.fill(Qt::black);
            for (int y = 0; y < PatternRows; ++y)
                for (int x = 0; x < 16; ++x)
                    image.setPixel(x, y, qRgb(255, 255, 255));
            QVERIFY(image.save(path, nullptr, 100));
        }
        const ImageImport result = loadImagePicture(path, {});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(shown(result.picture), picture);
    }

    void pngAndBack_data() {
        QTest::addColumn<int>("scale");
        for (const int scale : {1, 2, 3, MaxImageScale})
            QTest::addRow("%d", scale) << scale;
    }
    void pngAndBack() {
        QFETCH(int, scale);
        DotPattern picture = patternPicture();
        picture.setText(1, 0, QStringLiteral("r")); // only "R" is lit
        const QImage image = imageFromPicture(picture.reader(), scale);
        QCOMPARE(image.size(), QSize(50 * scale, 8 * scale));
        QCOMPARE(image.pixel(49 * scale, 0), qRgb(255, 255, 255));

        const QString path = dir.filePath(QStringLiteral("picture.png"));
        QString error;
        QVERIFY2(savePng(path, picture.reader(), scale, &error), qPrintable(error));
        const ImageImport back = loadImagePicture(path, {});
        QVERIFY(back.ok && back.warnings.isEmpty());
        picture.setText(1, 0, DarkText);
        QVERIFY2(back.picture == picture, qPrintable(shown(back.picture)));
    }

    void savePngFailures() {
        QString error;
        const QString path = dir.filePath(QStringLiteral("no/such/folder/p.png"));
        QVERIFY(!savePng(path, DotPattern().reader(), 1, &error));
        QVERIFY2(error.startsWith(path + ": cannot save the image: "), qPrintable(error));
        QVERIFY(!savePng(path, DotPattern().reader(), MaxImageScale + 1, &error));
        QVERIFY2(error.endsWith("the scale 101 is outside 1 to 100"), qPrintable(error));
        QVERIFY(imageFromPicture(DotPattern().reader(), 0).isNull());
    }

    void refusesFilesThatAreNoImage_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && patternImage().save(&buffer, "png"));

        const QByteArray none;
        QTest::newRow("missing") << "missing" << none << "cannot open the file: No such file";
        QTest::newRow("folder") << "folder" << none << "it is a folder, not a file";
        QTest::newRow("named pipe") << "fifo" << none << "it is a device or a pipe, not a file";
        QTest::newRow("device") << "/dev/zero" << none << "it is a device or a pipe, not a file";
        QTest::newRow("over 32 MiB") << "huge" << none << "the file is larger than the 32 MiB";
        QTest::newRow("empty") << "empty" << none << "the file is empty";
        QTest::newRow("text") << "text" << QByteArray("This is not a picture.\n")
                              << "not an image in a format this program reads (bmp,";
        QTest::newRow("truncated PNG")
            << "truncated" << png.left(png.size() / 2) << "cannot read the image: ";
        QTest::newRow("PNG of 100000 x 100000") << "big" << pngClaiming(100000, 100000)
                                                << "the image is 100000 x 100000 pixels, larger";
        QTest::newRow("PNG 40000 wide")
            << "wide" << pngClaiming(40000, 8) << "the image is 40000 x 8 pixels, larger";
        QTest::newRow("PPM of 64 megapixels") << "many" << QByteArray("P6 8192 8192 255\n")
                                              << "the image is 8192 x 8192 pixels, larger";
    }
    void refusesFilesThatAreNoImage() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = name.startsWith(u'/') ? name : dir.filePath(name);
        QFile file(path);
        if (name == QStringLiteral("folder"))
            QVERIFY(QDir(dir.path()).mkpath(name));
        else if (name == QStringLiteral("fifo"))
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (name == QStringLiteral("huge")) // sparse: made at once
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize((32 << 20) + 1));
        else if (name != QStringLiteral("missing") && !name.startsWith(u'/'))
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        const ImageImport result = loadImagePicture(path, {});
        QVERIFY(!result.ok);
        QVERIFY2(result.error.startsWith(path + ": " + message), qPrintable(result.error));
    }
};

QTEST_GUILESS_MAIN(TestImage)
#include "tst_image.moc"
