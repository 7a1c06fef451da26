// libFuzzer target for the font reader (BDF, PCF, gzip-compressed PCF, through FreeType). For any
// input the reader must return without a crash or undefined behaviour; a refusal names the font; a
// font it accepts fits the sign's 8 rows, and laying text out in it stays within them.

#include "bitmapfont.h"
#include "textlayout.h"

#include "invariant.h"

#include <QByteArray>

#include <cstdint>

using namespace orvane;
using orvane::fuzz::fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<BitmapFont> load = BitmapFont::fromData(input, QStringLiteral("fuzz.bdf"));
    if (!load) {
        if (!load.error().startsWith(QStringLiteral("fuzz.bdf: ")))
            fail("a refusal that does not name the font");
        return 0;
    }
    const BitmapFont& font = *load;
    if (font.height() < 1 || font.height() > BitmapFont::MaxHeight)
        fail("accepted a font outside 1..8 rows");
    if (!font.glyph(U' '))
        fail("no space");
    // Rows below the font's height stay dark.
    const quint8 below = quint8((1u << (BitmapFont::MaxHeight - font.height())) - 1);
    const TextRun run = layOutText(font, u"Az 09 \u00E9\u0416\uFFFD\U0001F600 \uD55C\u314E");
    if (run.columns.size() > MaxRunColumns)
        fail("a run wider than its limit");
    // Latin and the bundled Hangul font's ranges: compatibility jamo and syllables.
    for (char32_t c = 0; c <= 0xD7A3; c = c == 0x17F ? 0x3131 : c == 0x318E ? 0xAC00 : c + 1)
        if (const Glyph* glyph = font.glyph(c)) {
            if (glyph->columns.size() > BitmapFont::MaxGlyphSize ||
                glyph->advance > BitmapFont::MaxGlyphSize)
                fail("a glyph wider than its limit");
            for (quint8 column : glyph->columns)
                if (column & below)
                    fail("a glyph below the font's rows");
        }
    return 0;
}
