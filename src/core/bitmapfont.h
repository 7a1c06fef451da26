#pragma once

// A bitmap font for the sign, read through FreeType from a BDF, PCF or gzip-compressed PCF file.
// Each glyph is held as the sign's column bytes (bit 7 = row 1, the top of the font's ascent ..
// bit 0 = row 8), so laying text out is a copy. A font taller than the sign's 8 rows, and an
// outline font, are refused when they are read.

#include "result.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace orvane {

struct Glyph {
    QList<quint8> columns; // from the leftmost to the rightmost inked column; empty: no ink
    int advance = 0;       // the font's width for the glyph (DWIDTH), used when it has no ink
};

class BitmapFont {
public:
    // Limits of what is read; anything beyond is refused as not a font for the sign.
    static constexpr qint64 MaxFileBytes = 8 * 1024 * 1024;   // also once a gzip file is unpacked
    static constexpr qint64 MaxReadMemory = 64 * 1024 * 1024; // what FreeType may take for one
    static constexpr int MaxLineLength = 4096;                // of a BDF file
    static constexpr int MaxProperties = 1024;                // of a BDF file
    static constexpr int MaxGlyphs = 65536;
    static constexpr int MaxGlyphSize = 256; // a glyph's bitmap width and height, its advance
    static constexpr int MaxHeight = 8;      // the sign's rows

    // Reads the named font file; a refusal names the file.
    static Result<BitmapFont> load(const QString& fileName);
    // Reads a font file's content; `name` stands for the file in messages and is the font's
    // name().
    static Result<BitmapFont> fromData(const QByteArray& data, const QString& name);
    // The bundled fonts are compiled in ready to use, not parsed: opening one costs a copy.
    // The bundled X11 misc-fixed 5x8 font (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic).
    static const BitmapFont& builtin();
    // The bundled Hangul subset of Galmuri7 ("galmuri7"): syllables and jamo, 7 rows high.
    static const BitmapFont& hangul();
    // A font from the compact form the build makes of a bundled font
    // (tools/fonts/pack-font.py); a font without glyphs when `packed` is not in that form.
    static BitmapFont bundledFrom(const QByteArray& packed, const QString& name);
    // The names of the fonts compiled into the program, in the order text falls back on them:
    // builtin()'s ("5x8"), then hangul()'s ("galmuri7").
    static QStringList bundledNames();
    // The bundled font of that name; nullptr when there is none.
    static const BitmapFont* bundled(const QString& name);

    QString name() const { return name_; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int height() const { return ascent_ + descent_; }
    int glyphCount() const { return int(glyphs_.size()); }

    // The glyph of a code point, nullptr when the font has none.
    const Glyph* glyph(char32_t c) const {
        const auto it = glyphs_.constFind(c);
        return it == glyphs_.cend() ? nullptr : &*it;
    }

private:
    friend class FontReader;

    QString name_;
    int ascent_ = 0;
    int descent_ = 0;
    QHash<char32_t, Glyph> glyphs_;
};

} // namespace orvane
