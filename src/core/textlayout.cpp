#include "textlayout.h"

#include "dotpattern.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace orvane {

namespace {

constexpr int BoxWidth = 4;

// A hollow box BoxWidth wide from row 1 down to the baseline (at least 3 rows high, and within
// the font's rows where it has 3).
void appendBox(const BitmapFont& font, VAlign valign, QList<quint8>& columns) {
    const int rows = std::clamp(std::min(font.ascent(), font.height()), 3, PatternRows);
    const int down = std::min(rowsDown(font.height(), valign), PatternRows - rows);
    const quint8 side = quint8(quint8(0xFF << (PatternRows - rows)) >> down);
    const quint8 edges = quint8((0x80 | 0x80 >> (rows - 1)) >> down);
    columns << side;
    for (int i = 2; i < BoxWidth; ++i)
        columns << edges;
    columns << side << 0;
}

// The font that draws c: the chosen one, else the first bundled font that has it.
std::pair<const BitmapFont*, const Glyph*> glyphFor(const BitmapFont& font, char32_t c) {
    if (const Glyph* glyph = font.glyph(c))
        return {&font, glyph};
    for (const QString& name : BitmapFont::bundledNames()) {
        const BitmapFont* other = BitmapFont::bundled(name);
        if (other && other != &font)
            if (const Glyph* glyph = other->glyph(c))
                return {other, glyph};
    }
    return {nullptr, nullptr};
}

void appendCharacter(const BitmapFont& font, char32_t c, VAlign valign, TextRun& run) {
    if (const auto [from, glyph] = glyphFor(font, c); glyph) {
        if (glyph->columns.isEmpty()) {
            run.columns.insert(run.columns.size(), glyph->advance, quint8(0));
        } else {
            const int down = rowsDown(from->height(), valign);
            for (const quint8 column : glyph->columns)
                run.columns << quint8(column >> down);
            run.columns << quint8(0);
        }
        return;
    }
    appendBox(font, valign, run.columns);
    if (!run.missing.contains(c))
        run.missing.append(c);
}

} // namespace

int rowsDown(int height, VAlign valign) {
    const int spare = std::max(0, PatternRows - height);
    switch (valign) {
    case VAlign::Top:
        break;
    case VAlign::Middle:
        return spare / 2;
    case VAlign::Bottom:
        return spare;
    }
    return 0;
}

TextRun layOutText(const BitmapFont& font, QStringView text, VAlign valign) {
    TextRun run;
    // Most glyphs of an 8-pixel font take 6 columns or fewer with their dark column.
    run.columns.reserve(std::min<qsizetype>(text.size() * 6, MaxRunColumns));
    qsizetype i = 0;
    for (; i < text.size() && run.columns.size() < MaxRunColumns; ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (text[i].isSurrogate())
            c = QChar::ReplacementCharacter; // half a pair is no character
        appendCharacter(font, c, valign, run);
    }
    run.cut = i < text.size() || run.columns.size() > MaxRunColumns;
    if (run.cut)
        run.columns.resize(MaxRunColumns);
    return run;
}

TextRun layOutCharacter(const BitmapFont& font, char32_t c, VAlign valign) {
    TextRun run;
    appendCharacter(font, c, valign, run);
    return run;
}

int writeColumns(const QList<quint8>& columns, int startCol,
                 const std::function<void(int row, int col, const QString& text)>& setText) {
    const qsizetype start = startCol;
    const qsizetype first = std::max<qsizetype>(0, -start);
    const qsizetype last = std::min<qsizetype>(columns.size(), PatternCols - start);
    for (qsizetype i = first; i < last; ++i)
        for (int row = 1; row <= PatternRows; ++row)
            setText(row, int(start + i),
                    columns[i] >> (PatternRows - row) & 1 ? LitText : DarkText);
    return int(std::min<qsizetype>(start + columns.size(), std::numeric_limits<int>::max()));
}

int alignedStart(int width, Align align) {
    const int room = std::max(0, PatternCols - std::max(0, width));
    switch (align) {
    case Align::Left:
        break;
    case Align::Center:
        return room / 2;
    case Align::Right:
        return room;
    }
    return 0;
}

} // namespace orvane
