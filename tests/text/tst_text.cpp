// Fonts and text layout: BDF files written by the test with known glyphs, the bundled font, and
// hostile font files, all through real files in a temporary folder.

#include "bitmapfont.h"
#include "dotpattern.h"
#include "textlayout.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace orvane;

namespace {

using Columns = QList<quint8>;

// One glyph: its code, DWIDTH, BBX and bitmap rows (top first).
QByteArray glyph(int code, int advance, int width, int yOffset, const QList<QByteArray>& rows,
                 int xOffset = 0) {
    QByteArray text = "STARTCHAR g" + QByteArray::number(code) + "\nENCODING " +
                      QByteArray::number(code) + "\nSWIDTH 500 0\nDWIDTH " +
                      QByteArray::number(advance) + " 0\nBBX " + QByteArray::number(width) + ' ' +
                      QByteArray::number(rows.size()) + ' ' + QByteArray::number(xOffset) + ' ' +
                      QByteArray::number(yOffset) + "\nBITMAP\n";
    for (const QByteArray& row : rows)
        text += row + '\n';
    return text + "ENDCHAR\n";
}

QByteArray font(int ascent, int descent, const QByteArray& glyphs) {
    return "STARTFONT 2.1\nCOMMENT made by the test\nFONT -test-small\nSIZE 8 75 75\n"
           "FONTBOUNDINGBOX 4 " +
           QByteArray::number(ascent + descent) + " 0 " + QByteArray::number(-descent) +
           "\nSTARTPROPERTIES 2\nFONT_ASCENT " + QByteArray::number(ascent) + "\nFONT_DESCENT " +
           QByteArray::number(descent) + "\nENDPROPERTIES\nCHARS 1\n" + glyphs + "ENDFONT\n";
}

// A 7 + 1 font: "I" a bar 1 wide with its ink in the middle of a 4-wide box, "L", a quote mark
// with a gap between its strokes, "g" reaching into the descent, a space 3 wide.
QByteArray smallFont() {
    return font(7, 1,
                glyph('I', 4, 4, -1, {"00", "20", "20", "20", "20", "20", "20", "00"}) +
                    glyph('L', 4, 4, -1, {"00", "80", "80", "80", "80", "80", "F0", "00"}) +
                    glyph('"', 4, 4, 3, {"A0", "A0"}) +
                    glyph('g', 4, 3, -1, {"E0", "A0", "E0", "20", "C0"}) + glyph(' ', 3, 0, 0, {}));
}

BitmapFont loaded(const QByteArray& bdf) {
    FontLoad result = BitmapFont::fromBdf(bdf, QStringLiteral("test.bdf"));
    if (!result.ok)
        qFatal("%s", qPrintable(result.error));
    return result.font;
}

// The picture as 8 strings of 50 characters, '#' lit and '.' dark.
QStringList shown(const Columns& columns, int start = 0) {
    QStringList rows(PatternRows, QString(PatternCols, u' '));
    writeColumns(columns, start, [&](int row, int col, const QString& text) {
        rows[row - 1][col] = text == LitText ? u'#' : text == DarkText ? u'.' : u'?';
    });
    for (QString& row : rows)
        row = row.trimmed();
    return rows;
}

} // namespace

class TestText : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return f.fileName();
    }

private slots:
    void knownGlyphsGiveExactColumns() {
        const QString path = writeFile(QStringLiteral("small.bdf"), smallFont());
        const FontLoad load = BitmapFont::load(path);
        QVERIFY2(load.ok, qPrintable(load.error));
        QCOMPARE(load.font.name(), path);
        QCOMPARE(load.font.ascent(), 7);
        QCOMPARE(load.font.descent(), 1);
        QCOMPARE(load.font.height(), 8);

        // Row 2 is bit 6 .. row 7 is bit 1; "L" has its foot in row 7.
        const TextRun run = layOutText(load.font, u"LI\"g");
        QCOMPARE(run.columns, Columns({0x7E, 0x02, 0x02, 0x02, 0, // L
                                       0x7E, 0,                   // I: one inked column
                                       0x30, 0x00, 0x30, 0,       // ": the gap is kept
                                       0x1D, 0x15, 0x1E, 0}));    // g reaches row 8
        QVERIFY(run.missing.isEmpty());
    }

    void proportionalWidthsAndTheSpace() {
        const BitmapFont f = loaded(smallFont());
        QCOMPARE(layOutText(f, u"I").columns.size(), 2);
        QCOMPARE(layOutText(f, u"L").columns.size(), 5);
        QCOMPARE(layOutText(f, u" ").columns, Columns({0, 0, 0}));
        QCOMPARE(layOutText(f, u"I I").columns.size(), 2 + 3 + 2);
        QCOMPARE(layOutText(f, u"").columns.size(), 0);
        QCOMPARE(layOutCharacter(f, U'L').columns, layOutText(f, u"L").columns);
        QCOMPARE(shown(layOutText(f, u"LI").columns),
                 QStringList({".......", "#....#.", "#....#.", "#....#.", "#....#.", "#....#.",
                              "####.#.", "......."}));
    }

    void aSmallerFontLeavesTheBottomDark() {
        // 5 + 1 rows: a full-height bar covers rows 1..6, a descender row 6; rows 7, 8 stay dark.
        const BitmapFont f =
            loaded(font(5, 1,
                        glyph('|', 2, 1, -1, {"80", "80", "80", "80", "80", "80"}) +
                            glyph('_', 2, 2, -1, {"C0"}) + glyph('^', 2, 1, 4, {"80"})));
        QCOMPARE(f.height(), 6);
        QCOMPARE(layOutText(f, u"|_^").columns, Columns({0xFC, 0, 0x04, 0x04, 0, 0x80, 0}));
    }

    void aTallerFontIsRefusedWithItsHeight_data() {
        QTest::addColumn<QByteArray>("bdf");
        QTest::addColumn<QString>("message");
        QTest::newRow("declared 9") << font(8, 1, glyph('I', 2, 1, 0, {"80"}))
                                    << "test.bdf: the font is 9 pixels high (ascent 8, descent 1)";
        QTest::newRow("a glyph above the ascent")
            << font(7, 1, glyph('I', 2, 1, 0, {"80", "00", "00", "00", "00", "00", "00", "80"}))
            << "test.bdf: the font is 9 pixels high (ascent 8, descent 1)";
        QTest::newRow("a glyph of 9 rows")
            << font(7, 1, glyph('I', 2, 1, -1, QList<QByteArray>(9, "80")))
            << "test.bdf: line 11: the glyph \"g73\" is 9 pixels high; the sign has 8 rows";
    }
    void aTallerFontIsRefusedWithItsHeight() {
        QFETCH(QByteArray, bdf);
        QFETCH(QString, message);
        const FontLoad load = BitmapFont::fromBdf(bdf, QStringLiteral("test.bdf"));
        QVERIFY(!load.ok);
        QVERIFY2(load.error.startsWith(message), qPrintable(load.error));
    }

    void aMissingCharacterIsABoxAndReported() {
        const BitmapFont f = loaded(smallFont());
        const Columns box{0xFE, 0x82, 0x82, 0xFE, 0}; // rows 1..7, down to the baseline
        const TextRun run = layOutText(f, u"I\u00C9I\u00C9\U0001F600");
        QCOMPARE(run.columns, Columns({0x7E, 0}) + box + Columns({0x7E, 0}) + box + box);
        QCOMPARE(run.missing, QList<char32_t>({U'\u00C9', U'\U0001F600'}));
        QCOMPARE(layOutCharacter(f, U'x').missing, QList<char32_t>({U'x'}));
        // Half a surrogate pair is no character: it shows as the replacement character.
        QCOMPARE(layOutText(f, QStringView(u"\U0001F600").first(1)).missing,
                 QList<char32_t>({U'\uFFFD'}));
    }

    void columnsAreWrittenWholeAndCutAfter49() {
        QStringList rows(PatternRows, QString(PatternCols, u'R'));
        const Columns columns{0x81, 0x00, 0xFF};
        const auto set = [&](int row, int col, const QString& text) {
            QVERIFY(row >= 1 && row <= PatternRows && col >= 0 && col < PatternCols);
            rows[row - 1][col] = text.at(0);
        };
        QCOMPARE(writeColumns(columns, 10, set), 13);
        QCOMPARE(rows[0].mid(9, 5), QStringLiteral("RRBRR"));
        QCOMPARE(rows[3].mid(9, 5), QStringLiteral("RBBRR"));
        QCOMPARE(rows[7].mid(9, 5), QStringLiteral("RRBRR"));
        QCOMPARE(writeColumns(columns, 48, set), 51);
        QCOMPARE(rows[3].right(2), QStringLiteral("BB"));
        QCOMPARE(writeColumns(columns, -2, set), 1);
        QCOMPARE(rows[3].left(2), QStringLiteral("RR"));

        const BitmapFont f = loaded(smallFont());
        const TextRun run = layOutText(f, QString(30, u'I'));
        QCOMPARE(run.columns.size(), 60);
        int written = 0;
        QCOMPARE(writeColumns(run.columns, 0, [&](int, int, const QString&) { ++written; }), 60);
        QCOMPARE(written, PatternCols * PatternRows);
        QCOMPARE(layOutText(f, QString(100000, u'L')).columns.size(), MaxRunColumns);
    }

    void alignment_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<Align>("align");
        QTest::addColumn<int>("start");
        QTest::newRow("left") << 10 << Align::Left << 0;
        QTest::newRow("center") << 10 << Align::Center << 20;
        QTest::newRow("center odd") << 11 << Align::Center << 19;
        QTest::newRow("right") << 10 << Align::Right << 40;
        QTest::newRow("right full") << 50 << Align::Right << 0;
        QTest::newRow("right too wide") << 60 << Align::Right << 0;
        QTest::newRow("center too wide") << 60 << Align::Center << 0;
        QTest::newRow("empty right") << 0 << Align::Right << 50;
    }
    void alignment() {
        QFETCH(int, width);
        QFETCH(Align, align);
        QFETCH(int, start);
        QCOMPARE(alignedStart(width, align), start);
    }

    void theBuiltinFontCoversManyScripts() {
        const BitmapFont& f = BitmapFont::builtin();
        QCOMPARE(f.height(), 8);
        QCOMPARE(f.ascent(), 7);
        for (char32_t c = 0x20; c <= 0x7E; ++c)
            QVERIFY(f.glyph(c));
        for (char32_t c : {U'é', U'ß', U'ÿ', U'Ł', U'ő', U'Ω', U'λ', U'Ж', U'я', U'€'})
            QVERIFY2(f.glyph(c), qPrintable(QString::number(c, 16)));
        QCOMPARE(layOutText(f, u"H").columns, Columns({0x7E, 0x10, 0x10, 0x7E, 0}));
        QCOMPARE(layOutText(f, u" ").columns.size(), 5);
        QCOMPARE(layOutText(f, u"OPEN 9-17").missing.size(), 0);
    }

    void hostileFontsAreRefused_data() {
        QTest::addColumn<QByteArray>("bdf");
        QTest::addColumn<QString>("reason");
        const QByteArray good = smallFont();
        const QByteArray oneGlyph = glyph('I', 2, 1, 0, {"80"});
        QTest::newRow("empty") << QByteArray() << ": the file is empty";
        QTest::newRow("not bdf") << QByteArray("hello\n") << ": line 1: this is not a BDF";
        QTest::newRow("no glyphs") << font(7, 1, {}) << ": the font has no glyphs";
        QTest::newRow("cut in a bitmap") << good.left(good.indexOf("F0")) << "has no ENDCHAR";
        QTest::newRow("no ENDCHAR") << font(7, 1, oneGlyph).replace("ENDCHAR\n", "")
                                    << ": line 11: the glyph \"g73\" has no ENDCHAR";
        QTest::newRow("no ENDFONT")
            << good.left(good.lastIndexOf("ENDFONT")) << "the file ends without ENDFONT";
        QTest::newRow("no ENDPROPERTIES") << QByteArray(good).replace("ENDPROPERTIES", "")
                                          << ": line 6: the properties that begin here";
        QTest::newRow("huge BBX") << font(7, 1, oneGlyph).replace("BBX 1 1", "BBX 100000 1")
                                  << "BBX: the width 100000 is outside 0..256";
        QTest::newRow("overflowing number")
            << font(7, 1, oneGlyph).replace("BBX 1 1 0 0", "BBX 1 1 0 99999999999999999999")
            << "the y offset 99999999999999999999 is outside";
        QTest::newRow("bad number") << font(7, 1, oneGlyph).replace("DWIDTH 2", "DWIDTH 2x")
                                    << "DWIDTH: the width \"2x\" is not a number";
        QTest::newRow("negative width") << font(7, 1, oneGlyph).replace("DWIDTH 2", "DWIDTH -2")
                                        << "the width -2 is outside 0..256";
        QTest::newRow("missing number")
            << font(7, 1, oneGlyph).replace("BBX 1 1 0 0", "BBX 1") << "BBX: the height is missing";
        QTest::newRow("huge code")
            << font(7, 1, oneGlyph).replace("ENCODING 73", "ENCODING 1114112")
            << "the code 1114112 is outside";
        QTest::newRow("too many glyphs") << font(7, 1, {}).replace("CHARS 1", "CHARS 70000")
                                         << "the glyph count 70000 is outside 0..65536";
        QTest::newRow("short row")
            << font(7, 1, glyph('I', 9, 9, 0, {"80"})) << "the bitmap row \"80\" is shorter";
        QTest::newRow("not hex") << font(7, 1, glyph('I', 2, 1, 0, {"8G"})) << "is not hexadecimal";
        QTest::newRow("too few rows") << font(7, 1, oneGlyph).replace("BBX 1 1", "BBX 1 3")
                                      << "has 1 bitmap rows; its BBX says 3";
        QTest::newRow("too many rows") << font(7, 1, oneGlyph).replace("80\n", "80\n80\n")
                                       << "has more bitmap rows than its BBX says (1)";
        QTest::newRow("BITMAP first")
            << font(7, 1, oneGlyph).replace("BBX 1 1 0 0\n", "") << "has BITMAP before its BBX";
        QTest::newRow("long line") << QByteArray("STARTFONT 2.1\nCOMMENT ") + QByteArray(5000, 'x')
                                   << ": line 2: the line is longer than 4096 characters";
        QTest::newRow("no newlines") << QByteArray(100000, 'x') << ": line 1: the line is longer";
        QTest::newRow("too big") << QByteArray(BitmapFont::MaxFileBytes + 1, '\n')
                                 << ": the file is larger than 8 MiB";
    }
    void hostileFontsAreRefused() {
        QFETCH(QByteArray, bdf);
        QFETCH(QString, reason);
        const QString path = writeFile(QStringLiteral("hostile %1.bdf"), bdf);
        const FontLoad load = BitmapFont::load(path);
        QVERIFY(!load.ok);
        QVERIFY2(load.error.startsWith(path + u':'), qPrintable(load.error));
        QVERIFY2(load.error.contains(reason), qPrintable(load.error));
    }

    void onlyRegularFilesAreRead() {
        const QString fifo = dir.filePath(QStringLiteral("fifo.bdf"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& path : {fifo, dir.path(), dir.filePath(QStringLiteral("none.bdf"))}) {
            const FontLoad load = BitmapFont::load(path);
            QVERIFY(!load.ok);
            QVERIFY2(load.error.startsWith(path + QStringLiteral(": ")), qPrintable(load.error));
        }
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
