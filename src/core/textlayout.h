#pragma once

// Text laid out in a font as the sign's column bytes: bit 7 = row 1 (top) .. bit 0 = row 8, as in
// the download frame. Each glyph takes its inked columns and one dark column after them; a glyph
// without ink (a space) takes the font's width for it in dark columns. A character the font lacks
// is taken from the bundled fonts in their order (5x8, then the Hangul font); one none of them has
// is drawn as a hollow box.

#include "bitmapfont.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

namespace orvane {

struct TextRun {
    QList<quint8> columns;
    QList<char32_t> missing; // the characters drawn as a box, each once, in order of appearance
    bool cut = false;        // the text went on past MaxRunColumns
};

// Far wider than the sign; a longer text is cut here.
inline constexpr int MaxRunColumns = 4096;

// Where the glyphs of a font lower than the sign's 8 rows stand; an 8-row font fills them all.
enum class VAlign { Top, Middle, Bottom };
// The rows a glyph of a font `height` rows high moves down; 0 for 8 rows or more.
int rowsDown(int height, VAlign valign);

// The whole text, code point by code point (a pair of UTF-16 surrogates is one character).
TextRun layOutText(const BitmapFont& font, QStringView text, VAlign valign = VAlign::Middle);
// One character, as typing writes it.
TextRun layOutCharacter(const BitmapFont& font, char32_t c, VAlign valign = VAlign::Middle);

// Writes the columns from startCol on: every column whole, all 8 rows, "R" for a lit dot and "B"
// for a dark one. Columns outside 0..49 are left out. Returns the column after the run, which is
// past 49 when the run was cut.
int writeColumns(const QList<quint8>& columns, int startCol,
                 const std::function<void(int row, int col, const QString& text)>& setText);

enum class Align { Left, Center, Right };
// The start column of a run `width` columns wide; a run wider than the sign starts at 0.
int alignedStart(int width, Align align);

} // namespace orvane
