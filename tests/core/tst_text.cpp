// Fonts and text layout: BDF fonts written by the test, the bundled font, and hostile font files.

#include "bitmapfont.h"
#include "dotpattern.h"
#include "testfiles.h"
#include "textlayout.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>

using namespace orvane;
using Columns = QList<quint8>;
using Chars = QList<char32_t>;

namespace {

// A BDF font of ascent + 1 rows; each glyph is "CODE DWIDTH WIDTH Y-OFFSET ROW...", rows top first.
QByteArray font(const QList<QByteArray>& glyphs, int ascent = 7) {
    QByteArray bdf = "STARTFONT 2.1\nFONTBOUNDINGBOX 4 8 0 -1\nSTARTPROPERTIES 2\nFONT_ASCENT " +
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
        const FontLoad load = BitmapFont::load(path);
        const BitmapFont& f = load.font;
        QVERIFY2(load.ok && f.name() == path, qPrintable(load.error));
        QCOMPARE(QList<int>({f.ascent(), f.descent()}), QList<int>({7, 1}));
        // Boxes (rows 1 to 7) for what is missing; L with its foot in row 7, I one inked column,
        // the quote mark's gap kept, g reaching row 8, the space's own width.
        const Columns box{0xFE, 0x82, 0x82, 0xFE, 0};
        const TextRun run = layOutText(f, u"\u00C9\U0001F600\u00C9LI\"g ");
        QCOMPARE(run.columns, box + box + box +
                                  Columns({0x7E, 0x02, 0x02, 0x02, 0, 0x7E, 0, 0x30, 0x00, 0x30, 0,
                                           0x1D, 0x15, 0x1E, 0, 0, 0, 0}));
        QCOMPARE(run.missing, Chars({U'\u00C9', U'\U0001F600'}));
        QCOMPARE(layOutCharacter(f, U'x').missing, Chars({U'x'}));
        // Half a surrogate pair is no character: it shows as the replacement character.
        QCOMPARE(layOutText(f, QStringView(u"\U0001F600").first(1)).missing, Chars({U'\uFFFD'}));
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
        row("not BDF", "STARTFONT 2.1", "hello", ": line 1: this is not a BDF");
        row("cut in a bitmap", "80\nENDCHAR\nENDFONT\n", "",
            ": line 8: the glyph \"g73\" has no ENDCHAR: the file ends in its bitmap");
        row("no ENDFONT", "ENDFONT\n", "", ": the file ends without ENDFONT");
        row("huge BBX", "BBX 1 1", "BBX 100000 1", "BBX: the width 100000 is outside 0..256");
        row("negative width", "DWIDTH 2", "DWIDTH -2", "the width -2 is outside 0..256");
        row("short row", "BBX 1", "BBX 9", "the bitmap row \"80\" is shorter");
        row("not hex", "\n80\n", "\n8G\n", "is not hexadecimal");
        row("too many rows", "\n80\n", "\n80\n80\n", "has more bitmap rows than its BBX says (1)");
        row("long line", "4 8 0 -1", QByteArray(5000, 'x'),
            ": line 2: the line is longer than 4096 characters");
        row("too big", "", QByteArray(BitmapFont::MaxFileBytes + 1, '\n'),
            ": the file is larger than 8 MiB");
        row("declared 9 rows", "FONT_ASCENT 7", "FONT_ASCENT 8", tall);
        row("a glyph above the ascent", "BBX 1 1 0 0\nBITMAP\n80",
            "BBX 1 8 0 0\nBITMAP\n80" + QByteArray("\n00").repeated(6) + "\n80", tall);
        row("a glyph of 9 rows", "BBX 1 1 0 0\nBITMAP\n80",
            "BBX 1 9 0 -1\nBITMAP" + QByteArray("\n80").repeated(9),
            ": line 8: the glyph \"g73\" is 9 pixels high; the sign has 8 rows");
    }
    void hostileFontsAreRefused() {
        QFETCH(QByteArray, bdf);
        QFETCH(QString, reason);
        const QString path = testing::writeFile(dir, QStringLiteral("hostile %1.bdf"), bdf);
        const QString error = BitmapFont::load(path).error;
        QVERIFY2(reason.startsWith(u':') ? error.startsWith(path + reason)
                                         : error.startsWith(path + u':') && error.contains(reason),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
