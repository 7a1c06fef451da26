// Fonts and text layout (the fuzzer's regressions are replayed by fuzz_replay_font).

#include "bitmapfont.h"
#include "dotpattern.h"
#include "testfiles.h"
#include "textlayout.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

using namespace orvane;
using namespace Qt::StringLiterals;
using Columns = QList<quint8>;

namespace {

// A BDF font of 8 rows; each glyph is "CODE DWIDTH WIDTH Y-OFFSET ROW...", rows top first.
const auto font = [](const QList<QByteArray>& glyphs) { return testing::bdfFont(glyphs); };

QByteArray hex(const Columns& columns) {
    return QByteArray(reinterpret_cast<const char*>(columns.data()), columns.size()).toHex();
}

// "ASCENT+DESCENT", then `probe` laid out ("-": lacking), or without one a digest of every glyph.
QString shown(const BitmapFont& f, const QString& probe = {}) {
    QByteArray text = QByteArray::number(f.ascent()) + '+' + QByteArray::number(f.descent());
    QByteArray all;
    for (char32_t c = 0; probe.isEmpty() && c <= 0x10FFFF; ++c)
        if (const Glyph* g = f.glyph(c))
            all += ' ' + QByteArray::number(c) + ':' + QByteArray::number(g->advance) + ':' +
                   hex(g->columns);
    for (const char32_t c : probe.toUcs4())
        text += ' ' + (f.glyph(c) ? hex(layOutCharacter(f, c).columns) : "-");
    const QByteArray digest = QCryptographicHash::hash(all, QCryptographicHash::Sha256).toHex();
    return probe.isEmpty() ? text + ' ' + digest.left(16) : text;
}

// Bytes compressed by zlib's gzip writer.
QByteArray gzip(const QTemporaryDir& dir, const QByteArray& data) {
    const QString path = dir.filePath("packed.gz");
    const gzFile file = gzopen(QFile::encodeName(path).constData(), "wb");
    gzwrite(file, data.constData(), unsigned(data.size()));
    gzclose(file);
    return testing::readFile(path);
}

} // namespace

class TestText : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // "I" 1 wide in a 4-wide box, "L", a quote mark's gap, "g" into the descent, a space 3 wide.
    void knownGlyphsGiveExactColumns() {
        const QString path = testing::writeFile(
            dir, "small.bdf",
            font({"73 4 4 -1 00 20 20 20 20 20 20 00", "76 4 4 -1 00 80 80 80 80 80 F0 00",
                  "34 4 4 3 A0 A0", "103 4 3 -1 E0 A0 E0 20 C0", "32 3 0 0"}));
        const Result<BitmapFont> load = BitmapFont::load(path);
        QVERIFY2(load && load->name() == path, qPrintable(load.error()));
        const BitmapFont& f = *load;
        // Boxes in rows 1 to 7 for what no font has, each missing character listed once.
        const Columns box{0xFE, 0x82, 0x82, 0xFE, 0};
        const TextRun run = layOutText(f, u"\uE000\U0001F600\uE000LI\"g ");
        QCOMPARE(run.columns, box + box + box +
                                  Columns({0x7E, 0x02, 0x02, 0x02, 0, 0x7E, 0, 0x30, 0x00, 0x30, 0,
                                           0x1D, 0x15, 0x1E, 0, 0, 0, 0}));
        QCOMPARE(run.missing, QList<char32_t>({U'\uE000', U'\U0001F600'}));
        // What the font lacks comes from the bundled fonts: 5x8's É, galmuri7's 한.
        QCOMPARE(layOutText(f, u"\u00C9\uD55C").columns,
                 layOutText(BitmapFont::builtin(), u"\u00C9").columns +
                     layOutText(BitmapFont::hangul(), u"\uD55C").columns);
        // Half a surrogate pair is no character: it shows as the replacement character (5x8's).
        QCOMPARE(layOutText(f, QStringView(u"\U0001F600").first(1)).columns,
                 layOutCharacter(BitmapFont::builtin(), U'\uFFFD').columns);
    }

    void columnsAreWrittenWholeAndCutAtTheEdges() {
        QStringList rows(PatternRows, QString(PatternCols, u'?'));
        const auto set = [&](int row, int col, const QString& text) {
            QVERIFY(row >= 1 && row <= PatternRows && col >= 0 && col < PatternCols);
            rows[row - 1][col] = text.at(0);
        };
        QCOMPARE(writeColumns({0xC1, 0x00, 0xFF}, 48, set), 51);
        QCOMPARE(writeColumns({0xFF, 0x00, 0xC1}, -2, set), 1);
        const QString lit = "R" + QString(47, u'?') + "RB", dark = "B" + QString(47, u'?') + "BB";
        QCOMPARE(rows, QStringList({lit, lit, dark, dark, dark, dark, dark, lit}));
    }

    // The bundled fonts bit for bit, so frames of text stay the same.
    void bundledFontsAndRowsDown() {
        const BitmapFont &f = BitmapFont::builtin(), &han = BitmapFont::hangul();
        QCOMPARE(shown(f), "7+1 27807d6604a887d0");
        QCOMPARE(shown(han), "7+0 cf31f5f44ba1c9af");
        // Compiled in ready to use, they hold what FreeType reads from their BDF sources; a
        // damaged compact form gives no font.
        for (const auto& [bundled, source] : {std::pair{&f, "5x8"}, {&han, "galmuri7-hangul"}}) {
            const QString bdf = ORVANE_SOURCE_DIR "/src/core/fonts/"_L1 + source + ".bdf"_L1;
            QCOMPARE(shown(*bundled), shown(BitmapFont::load(bdf).value()));
            const QByteArray packed = testing::readFile(":/fonts/"_L1 + source + ".orvf"_L1);
            QCOMPARE(BitmapFont::bundledFrom(packed, "x"_L1).glyphCount(), bundled->glyphCount());
            QCOMPARE(BitmapFont::bundledFrom(packed.chopped(1), "x"_L1).glyphCount(), 0);
            QCOMPARE(BitmapFont::bundledFrom(packed + '\0', "x"_L1).glyphCount(), 0);
        }
        QCOMPARE(layOutText(f, QString(100000, u'L')).columns.size(), MaxRunColumns);
        // Left, centre and right are checked through orvane-send --align; here the edges.
        QCOMPARE(QList<int>({alignedStart(11, Align::Center), alignedStart(60, Align::Center),
                             alignedStart(60, Align::Right), alignedStart(0, Align::Right)}),
                 QList<int>({19, 0, 0, 50}));
        QCOMPARE(layOutText(f, u"\uD55C", VAlign::Bottom).columns,
                 layOutText(han, u"\uD55C", VAlign::Bottom).columns);
        QList<int> down; // fonts of 8, 7, 6, 5 and 1 rows: top, middle, bottom
        for (const int height : {8, 7, 6, 5, 1})
            for (const VAlign valign : {VAlign::Top, VAlign::Middle, VAlign::Bottom})
                down << rowsDown(height, valign);
        QCOMPARE(down, QList<int>({0, 0, 0, 0, 0, 1, 0, 1, 2, 0, 1, 3, 0, 3, 7}));
    }

    // BDF files made by turning `from` into `to` in a good font (an empty `from`: all of it).
    void fonts_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("says");
        const QByteArray good = font({"73 2 1 0 80"});
        const auto row = [&](const char* name, const char* from, const QByteArray& to,
                             const char* says) {
            QTest::newRow(name) << testing::writeFile(
                                       dir, name, *from ? QByteArray(good).replace(from, to) : to)
                                << "I" << says;
        };
        row("good", "x", "", "7+1 0200");
        row("no BITMAP", "BITMAP\n80\n", "", "7+1 0000"); // no ink: as wide as its DWIDTH
        row("empty", "", "", ": the file is empty");
        row("not a font", "STARTFONT 2.1", "hello", ": this is not a font");
        row("cut in a bitmap", "80\nENDCHAR\nENDFONT\n", "", ": the font's glyphs are broken");
        row("no SIZE", "SIZE 8 75 75\n", "", ": the font is broken: `SIZE' field missing");
        row("wide glyph", "BBX 1 1", "BBX 257 1", ": the glyph U+0049 \"I\" is 257 x 1 pixels");
        row("wide advance", "DWIDTH 2", "DWIDTH 300",
            ": the glyph U+0049 \"I\" advances 300 pixels; the most is 256");
        row("long line after comments", "",
            "\n# x\nCOMMENT y\n" + QByteArray(good).replace("4 8 0 -1", QByteArray(5000, 'x')),
            ": line 7: the line is longer than 4096 characters");
        // Refused before FreeType's table of them runs out of its memory budget (which crashed it).
        row("many properties", "STARTPROPERTIES 2\n",
            "STARTPROPERTIES 2\n" + QByteArray("P 1\n").repeated(2000),
            ": line 1030: more than 1024 properties");
        row("too big", "", QByteArray(BitmapFont::MaxFileBytes + 1, '\n'),
            ": the file is larger than 8 MiB");
        row("a glyph above the ascent", "BBX 1 1 0 0\nBITMAP\n80",
            "BBX 1 8 0 0\nBITMAP\n80" + QByteArray("\n00").repeated(6) + "\n80",
            ": the font is 9 pixels high (ascent 8, descent 1)");
        row("a glyph of 9 rows", "BBX 1 1 0 0\nBITMAP\n80",
            "BBX 1 9 0 -1\nBITMAP" + QByteArray("\n80").repeated(9),
            ": the glyph U+0049 \"I\" is 9 pixels high; the sign has 8 rows");
        row("no glyphs", "", font({}), ": the font has no glyphs");
        const QByteArray big = "STARTCHAR a\nENCODING 1\nBBX 256 256 0 0\nBITMAP\nENDCHAR\n";
        row("needs much memory", "CHARS 1\n", "CHARS 9000\n" + big.repeated(8999),
            ": reading the font takes more than 64");
        const QByteArray packed = gzip(dir, good);
        row("gzip", "", packed, "7+1 0200");
        row("gzip cut short", "", packed.chopped(12), ": the gzip-compressed data ends too soon");
        row("gzip damaged", "", QByteArray(packed).replace(10, 1, "\xff"), // no such block type
            ": the gzip-compressed data is damaged");
        row("gzip of over 8 MiB", "", gzip(dir, QByteArray(BitmapFont::MaxFileBytes + 1, '\n')),
            ": the file unpacks to more than 8 MiB");
        row("gzip twice", "", gzip(dir, packed), ": the file is compressed twice");
        row("compress", "", "\x1F\x9D\x90" + good, ": the file is compressed with compress or");
        row("PCF damaged", "", QByteArray("\1fcp\x09\0\0\0", 8) + QByteArray(64, '\xff'),
            ": the PCF font is broken or cut short");

        // Debian's X11 fonts (PCF.gz; the bundled one came from 5x8), OpenType bitmaps, an outline.
        const QString x11 = "/usr/share/fonts/X11/misc/",
                      own = ORVANE_SOURCE_DIR "/tests/core/fonts/";
        const auto file = [](const QString& path, const QString& probe, const QString& says) {
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path << probe << says;
        };
        file(x11 + "5x8.pcf.gz", {}, shown(BitmapFont::builtin()));
        file(x11 + "5x7.pcf.gz", "_|", "6+1 0404040400 fc00"); // 7 rows: row 8 stays dark
        file(x11 + "5x8-ISO8859-2.pcf.gz", "A\u00A3", "7+1 3e48483e00 -"); // Latin-2's 0xA3 is Ł
        file(own + "rows-6.bdf", "A", "5+1 7c00"); // a row dark above and below
        file(own + "rows-8.bdf", "A", "7+1 fefe00");
        file(own + "rows-12.bdf", {}, ": the font is 12 pixels high (ascent 10, descent 2); the");
        file(own + "rows-16.bdf", {}, ": the font is 16 pixels high (ascent 13, descent 3); the");
        file(own + "sizes-6-8-12.otb", "A", "7+1 fefe00");
        file(own + "sizes-12-16.otb", {}, ": none of the font's 2 sizes fits the sign's 8 rows");
        file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", {},
             ": DejaVu Sans is an outline font, not a bitmap font");
    }
    void fonts() {
        QFETCH(QString, path);
        QFETCH(QString, probe);
        QFETCH(QString, says);
        if (!QFile::exists(path))
            QSKIP(qPrintable(path + " is not installed"));
        const Result<BitmapFont> load = BitmapFont::load(path);
        const QString got = load ? shown(*load, probe) : load.error();
        const QString expected = load ? says : path + says;
        QCOMPARE(got.left(expected.size()), expected);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
