// Fonts and text layout: BDF fonts written by the test, the bundled fonts, Debian's X11 fonts
// (PCF, gzip-compressed), an outline font, and hostile font files (the fuzzer's regressions are
// replayed by fuzz_replay_font).

#include "bitmapfont.h"
#include "dotpattern.h"
#include "testfiles.h"
#include "textlayout.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>

using namespace orvane;
using Columns = QList<quint8>;
using Chars = QList<char32_t>;

namespace {

// A BDF font of ascent + 1 rows; each glyph is "CODE DWIDTH WIDTH Y-OFFSET ROW...", rows top first.
QByteArray font(const QList<QByteArray>& glyphs, int ascent = 7) {
    QByteArray bdf = "STARTFONT 2.1\nFONT test\nSIZE 8 75 75\nFONTBOUNDINGBOX 4 8 0 "
                     "-1\nSTARTPROPERTIES 2\nFONT_ASCENT " +
                     QByteArray::number(ascent) + "\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS 1\n";
    for (const QByteArray& glyph : glyphs) {
        const QList<QByteArray> w = glyph.split(' ');
        bdf += "STARTCHAR g" + w[0] + "\nENCODING " + w[0] + "\nDWIDTH " + w[1] + " 0\nBBX " +
               w[2] + ' ' + QByteArray::number(w.size() - 4) + " 0 " + w[3] + "\nBITMAP\n" +
               w.mid(4).join('\n') + "\nENDCHAR\n";
    }
    return bdf + "ENDFONT\n";
}

// Every glyph of a font, in code order: its code, advance and column bytes, as one digest.
QByteArray glyphDigest(const BitmapFont& f) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto add = [&](quint32 value) {
        const quint32 le = qToLittleEndian(value);
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&le), sizeof le));
    };
    add(quint32(f.ascent()));
    add(quint32(f.descent()));
    for (char32_t c = 0; c <= 0x10FFFF; ++c)
        if (const Glyph* g = f.glyph(c)) {
            add(c);
            add(quint32(g->advance));
            add(quint32(g->columns.size()));
            for (quint8 column : g->columns)
                hash.addData(QByteArrayView(reinterpret_cast<const char*>(&column), 1));
        }
    return hash.result().toHex().left(16);
}

// Bytes compressed as gzip writes them.
QByteArray gzip(const QByteArray& data) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        qFatal("deflateInit2 failed");
    QByteArray out(qsizetype(deflateBound(&z, uLong(data.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END)
        qFatal("deflate failed");
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

// A font of Debian's xfonts-base (or fonts-dejavu-core); the test is skipped where it is missing.
#define SYSTEM_FONT(path)                                                                          \
    QStringLiteral(path);                                                                          \
    if (!QFile::exists(QStringLiteral(path)))                                                      \
        QSKIP(path " is not installed");

// 7 + 1 rows: "I" a bar 1 wide in a 4-wide box, "L", a quote mark with a gap between its strokes,
// "g" reaching into the descent, a space 3 wide.
const QByteArray smallFont =
    font({"73 4 4 -1 00 20 20 20 20 20 20 00", "76 4 4 -1 00 80 80 80 80 80 F0 00",
          "34 4 4 3 A0 A0", "103 4 3 -1 E0 A0 E0 20 C0", "32 3 0 0"});

} // namespace

class TestText : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void knownGlyphsGiveExactColumns() {
        const QString path = testing::writeFile(dir, QStringLiteral("small.bdf"), smallFont);
        const Result<LoadedFont> load = BitmapFont::load(path);
        const BitmapFont& f = load.font;
        QVERIFY2(load.ok && f.name() == path, qPrintable(load.error()));
        QCOMPARE(QList<int>({f.ascent(), f.descent()}), QList<int>({7, 1}));
        // Boxes (rows 1 to 7) for what no font has; L with its foot in row 7, I one inked column,
        // the quote mark's gap kept, g reaching row 8, the space's own width.
        const Columns box{0xFE, 0x82, 0x82, 0xFE, 0};
        const TextRun run = layOutText(f, u"\uE000\U0001F600\uE000LI\"g ");
        QCOMPARE(run.columns, box + box + box +
                                  Columns({0x7E, 0x02, 0x02, 0x02, 0, 0x7E, 0, 0x30, 0x00, 0x30, 0,
                                           0x1D, 0x15, 0x1E, 0, 0, 0, 0}));
        QCOMPARE(run.missing, Chars({U'\uE000', U'\U0001F600'}));
        QCOMPARE(layOutCharacter(f, U'\uE001').missing, Chars({U'\uE001'}));
        // What the font lacks comes from the bundled fonts: 5x8's É, galmuri7's 한, each in its
        // own font's rows.
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

    void builtinFontAndAlignment() {
        const BitmapFont& f = BitmapFont::builtin();
        QString text = QStringLiteral("éßÿŁőΩλЖя€");
        for (char16_t c = 0x20; c <= 0x7E; ++c)
            text += QChar(c);
        QCOMPARE(layOutText(f, text).missing, Chars()); // all of ASCII and some of each script
        QCOMPARE(layOutText(f, u"H ").columns, Columns({0x7E, 0x10, 0x10, 0x7E, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(layOutText(f, QString(100000, u'L')).columns.size(), MaxRunColumns);
        // Every glyph's columns as they have always been, so frames of text stay the same.
        QCOMPARE(f.glyphCount(), 1426);
        QCOMPARE(glyphDigest(f), QByteArray("a6638ccf48ac79ad"));
        // Left, centre and right are checked through orvane-send --align; here the edges.
        QCOMPARE(QList<int>({alignedStart(11, Align::Center), alignedStart(60, Align::Center),
                             alignedStart(60, Align::Right), alignedStart(0, Align::Right)}),
                 QList<int>({19, 0, 0, 50}));
    }

    // The bundled Hangul font bit for bit, 7 rows with no descent; laid out after 5x8 its glyphs
    // stand where --valign puts them, and Latin comes from 5x8, which stays in its 8 rows.
    void bundledHangulFontAndRowsDown() {
        const BitmapFont& f = BitmapFont::hangul();
        QVERIFY(BitmapFont::bundled(u"galmuri7"_qs) == &f);
        QCOMPARE(QList<int>({f.ascent(), f.descent()}), QList<int>({7, 0}));
        QCOMPARE(f.glyphCount(), 11172 + 52 + 1); // and the space it is given
        QCOMPARE(glyphDigest(f), QByteArray("05a3ab2332d59116"));
        const Columns han = f.glyph(U'\uD55C')->columns;
        Columns lower;
        for (const quint8 c : han)
            lower << quint8(c >> 1);
        const BitmapFont& latin = BitmapFont::builtin();
        QCOMPARE(layOutText(latin, u"\uD55C").columns, han + Columns{0}); // middle: row 8 dark
        QCOMPARE(layOutText(latin, u"\uD55C", VAlign::Top).columns, han + Columns{0});
        QCOMPARE(layOutText(latin, u"\uD55C", VAlign::Bottom).columns, lower + Columns{0});
        QCOMPARE(layOutText(f, u"A9").columns, layOutText(latin, u"A9", VAlign::Bottom).columns);
        QCOMPARE(layOutText(f, u"\uE000").missing, Chars({U'\uE000'}));
        // Rows a font of each height moves down: top, middle, bottom.
        const QList<QList<int>> table{
            {8, 0, 0, 0}, {7, 0, 0, 1}, {6, 0, 1, 2}, {5, 0, 1, 3}, {1, 0, 3, 7}};
        for (const QList<int>& t : table)
            QCOMPARE(QList<int>({rowsDown(t[0], VAlign::Top), rowsDown(t[0], VAlign::Middle),
                                 rowsDown(t[0], VAlign::Bottom)}),
                     t.mid(1));
    }

    void hostileFontsAreRefused_data() {
        QTest::addColumn<QByteArray>("bdf");
        QTest::addColumn<QString>("reason"); // starting with ':', all that follows the file's name
        // Each row turns `from` into `to` in a good font of one glyph; an empty `from`: all of it.
        const QByteArray good = font({"73 2 1 0 80"});
        const auto row = [&](const char* name, const char* from, const QByteArray& to,
                             const char* reason) {
            QTest::newRow(name) << (*from ? QByteArray(good).replace(from, to) : to) << reason;
        };
        const char* tall = ": the font is 9 pixels high (ascent 8, descent 1)";
        row("empty", "", "", ": the file is empty");
        row("not a font", "STARTFONT 2.1", "hello", ": this is not a font");
        row("cut in a bitmap", "80\nENDCHAR\nENDFONT\n", "",
            ": the font's glyphs are broken or cut short");
        row("no SIZE", "SIZE 8 75 75\n", "", ": the font is broken: `SIZE' field missing");
        row("wide glyph", "BBX 1 1", "BBX 257 1", ": the glyph U+0049 \"I\" is 257 x 1 pixels");
        row("wide advance", "DWIDTH 2", "DWIDTH 300",
            ": the glyph U+0049 \"I\" advances 300 pixels; the most is 256");
        row("long line", "4 8 0 -1", QByteArray(5000, 'x'),
            ": line 4: the line is longer than 4096 characters");
        row("long line after comments", "",
            "\n# x\nCOMMENT y\n" + QByteArray(good).replace("4 8 0 -1", QByteArray(5000, 'x')),
            ": line 7: the line is longer than 4096 characters");
        // So many properties that FreeType's table of them runs out of its memory budget (which
        // once crashed FreeType); refused before FreeType sees them.
        QByteArray properties;
        for (int i = 0; i < 400000; ++i)
            properties += "P" + QByteArray::number(i) + " 1\n";
        row("many properties", "STARTPROPERTIES 2\n", "STARTPROPERTIES 2\n" + properties,
            ": line 1030: more than 1024 properties");
        row("too big", "", QByteArray(BitmapFont::MaxFileBytes + 1, '\n'),
            ": the file is larger than 8 MiB");
        row("a glyph above the ascent", "BBX 1 1 0 0\nBITMAP\n80",
            "BBX 1 8 0 0\nBITMAP\n80" + QByteArray("\n00").repeated(6) + "\n80", tall);
        row("a glyph of 9 rows", "BBX 1 1 0 0\nBITMAP\n80",
            "BBX 1 9 0 -1\nBITMAP" + QByteArray("\n80").repeated(9),
            ": the glyph U+0049 \"I\" is 9 pixels high; the sign has 8 rows");
        row("no glyphs", "", font({}), ": the font has no glyphs");
        // Many large glyphs: what FreeType would need to hold them is over its budget.
        QByteArray big = "STARTFONT 2.1\nFONT big\nSIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 0\n"
                         "CHARS 9000\n";
        for (int i = 0; i < 9000; ++i)
            big += "STARTCHAR a\nENCODING " + QByteArray::number(i) +
                   "\nDWIDTH 8 0\nBBX 256 256 0 0\nBITMAP\nENDCHAR\n";
        row("needs much memory", "", big + "ENDFONT\n",
            ": reading the font takes more than 64 MiB");
        // Compressed files: gzip is unpacked within the size limit; other kinds are refused.
        const QByteArray packed = gzip(good);
        QByteArray damaged = packed;
        for (qsizetype i = 12; i < damaged.size() - 8; ++i)
            damaged[i] = char(damaged[i] ^ 0x5A);
        row("gzip cut short", "", packed.chopped(12), ": the gzip-compressed data ends too soon");
        row("gzip damaged", "", damaged, ": the gzip-compressed data is damaged");
        row("gzip of over 8 MiB", "", gzip(QByteArray(BitmapFont::MaxFileBytes + 1, '\n')),
            ": the file unpacks to more than 8 MiB");
        row("gzip twice", "", gzip(packed), ": the file is compressed twice");
        row("compress", "", "\x1F\x9D\x90" + good,
            ": the file is compressed with compress or bzip2");
    }
    void hostileFontsAreRefused() {
        QFETCH(QByteArray, bdf);
        QFETCH(QString, reason);
        const QString path = testing::writeFile(dir, QStringLiteral("hostile %1.bdf"), bdf);
        const QString error = BitmapFont::load(path).error();
        QVERIFY2(reason.startsWith(u':') ? error.startsWith(path + reason)
                                         : error.startsWith(path + u':') && error.contains(reason),
                 qPrintable(error));
    }

    // Faults that FreeType reads past, as X11's own tools do: a short or odd bitmap row is taken
    // as far as it goes, rows beyond the glyph's BBX are left out, and so is a BBX after the
    // bitmap (which once made a hand-written reader read past its buffer); a glyph without a
    // bitmap has no ink (its null bitmap once crashed the conversion of FreeType's bitmaps).
    void damagedFontsAreReadWithinTheirBounds_data() {
        QTest::addColumn<QByteArray>("bdf");
        QTest::addColumn<Columns>("columns"); // of "I"
        const QByteArray good = font({"73 2 1 0 80", "32 3 0 0"});
        const auto row = [&](const char* name, const char* from, const QByteArray& to,
                             const Columns& columns) {
            QTest::newRow(name) << QByteArray(good).replace(from, to) << columns;
        };
        row("good", "", "", {0x02, 0});
        row("short row", "BBX 1 1", "BBX 9 1", {0x02, 0});
        row("not hexadecimal", "BBX 1 1 0 0\nBITMAP\n80", "BBX 8 1 0 0\nBITMAP\nC!", {2, 2, 0});
        row("BBX after BITMAP", "BITMAP\n80\n", "BITMAP\n80\nBBX 200 200 0 0\nFF\n", {0x02, 0});
        row("no BITMAP", "BITMAP\n80\n", "", {0, 0}); // no ink: as wide as its DWIDTH
    }
    void damagedFontsAreReadWithinTheirBounds() {
        QFETCH(QByteArray, bdf);
        QFETCH(Columns, columns);
        const Result<LoadedFont> load = BitmapFont::fromData(bdf, QStringLiteral("damaged.bdf"));
        QVERIFY2(load.ok, qPrintable(load.error()));
        QCOMPARE(layOutText(load.font, u"I").columns, columns);
    }

    // Debian's X11 fonts are PCF, gzip-compressed; the bundled font came from 5x8.pcf.gz.
    void x11FontsAreRead() {
        const QString path = SYSTEM_FONT("/usr/share/fonts/X11/misc/5x8.pcf.gz");
        const Result<LoadedFont> load = BitmapFont::load(path);
        QVERIFY2(load.ok, qPrintable(load.error()));
        QCOMPARE(glyphDigest(load.font), glyphDigest(BitmapFont::builtin()));
    }

    void x11FontsOfOtherSizesAndCharsets() {
        // 7 rows: the bottom row stays dark. Latin-2: only ASCII, not 0xA3 (Ł there, £ in
        // Unicode). 13 rows: refused.
        const QString small = SYSTEM_FONT("/usr/share/fonts/X11/misc/5x7.pcf.gz");
        const QString latin2 = SYSTEM_FONT("/usr/share/fonts/X11/misc/5x8-ISO8859-2.pcf.gz");
        const QString tall = SYSTEM_FONT("/usr/share/fonts/X11/misc/6x13.pcf.gz");
        const Result<LoadedFont> f7 = BitmapFont::load(small), f2 = BitmapFont::load(latin2);
        QVERIFY2(f7.ok && f2.ok, qPrintable(f7.error() + f2.error()));
        QCOMPARE(f7.font.height(), 7);
        for (quint8 column : layOutText(f7.font, u"Ag|_").columns)
            QCOMPARE(column & 1, 0);
        QVERIFY(f2.font.glyph(U'A') && !f2.font.glyph(0xA3));
        QCOMPARE(BitmapFont::load(tall).error(),
                 tall + ": the font is 13 pixels high (ascent 11, descent 2); the sign has 8 rows");
    }

    // Of a font with several sizes (here OpenType bitmap fonts, tests/core/fonts/README) the
    // tallest of at most 8 rows is taken: there "A" is 2 columns wide.
    void fontsOfSeveralSizes() {
        const QString fonts = QStringLiteral(ORVANE_SOURCE_DIR "/tests/core/fonts/");
        const Result<LoadedFont> load = BitmapFont::load(fonts + "sizes-6-8-12.otb");
        QVERIFY2(load.ok, qPrintable(load.error()));
        QCOMPARE(QList<int>({load.font.ascent(), load.font.descent()}), QList<int>({7, 1}));
        QCOMPARE(layOutText(load.font, u"A").columns, Columns({0xFE, 0xFE, 0}));
        QCOMPARE(BitmapFont::load(fonts + "sizes-12-16.otb").error(),
                 fonts + "sizes-12-16.otb: none of the font's 2 sizes fits the sign's 8 rows (the "
                         "smallest is 12 pixels high)");
    }

    void outlineFontsAreRefused() {
        const QString path = SYSTEM_FONT("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
        const QString error = BitmapFont::load(path).error();
        QVERIFY2(error.startsWith(path + ": DejaVu Sans is an outline font, not a bitmap font"),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
