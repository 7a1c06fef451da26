// Fonts read through FreeType: BDF, PCF, gzip-compressed PCF (as X11 bitmap fonts are shipped) and
// any other bitmap-only format FreeType knows. FreeType is only ever given bounded bytes in memory:
// a gzip file is unpacked here with a limit on its size (FreeType would unpack it as it seeks,
// without one), other compressions are refused, a BDF file's lines and properties are counted
// against limits, and FreeType's allocations for one font have a budget. Outline fonts are
// refused, never rasterised.

#include "bitmapfont.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H
#include FT_BITMAP_H
#include FT_FONT_FORMATS_H
#include FT_MODULE_H
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::BitmapFont)
};

// The font's ascent and descent, and where its glyphs lie, are kept within this.
constexpr int MaxOffset = 1024;

// FreeType's own words for its errors, for the errors that have no message of ours.
struct FreeTypeError {
    int code;
    const char* text;
};
// clang-format off
#undef FTERRORS_H_
#define FT_ERROR_START_LIST const FreeTypeError freeTypeErrors[] = {
#define FT_ERRORDEF(e, v, s) {e, s},
#define FT_ERROR_END_LIST {0, nullptr}};
#include FT_ERRORS_H
// clang-format on

QString freeTypeError(FT_Error error) {
    for (const FreeTypeError& e : freeTypeErrors)
        if (e.text && e.code == FT_ERROR_BASE(error)) {
            QString text = QString::fromLatin1(e.text);
            text[0] = text[0].toLower();
            return text;
        }
    return QStringLiteral("FreeType error %1").arg(error);
}

// FreeType's memory for one font: every block carries its size, so that what is in use can be
// kept within the budget.
struct Budget {
    qint64 used = 0;
};
constexpr size_t BlockHeader = alignof(std::max_align_t);

void* budgetAlloc(FT_Memory memory, long size) {
    auto* budget = static_cast<Budget*>(memory->user);
    if (size <= 0 || size > BitmapFont::MaxReadMemory - budget->used)
        return nullptr;
    auto* block = static_cast<char*>(std::malloc(BlockHeader + size_t(size)));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    budget->used += size;
    return block + BlockHeader;
}

void budgetFree(FT_Memory memory, void* p) {
    if (!p)
        return;
    char* block = static_cast<char*>(p) - BlockHeader;
    long size = 0;
    std::memcpy(&size, block, sizeof size);
    static_cast<Budget*>(memory->user)->used -= size;
    std::free(block);
}

void* budgetRealloc(FT_Memory memory, long, long newSize, void* p) {
    if (!p)
        return budgetAlloc(memory, newSize);
    auto* budget = static_cast<Budget*>(memory->user);
    char* block = static_cast<char*>(p) - BlockHeader;
    long size = 0;
    std::memcpy(&size, block, sizeof size);
    if (newSize <= 0 || newSize - size > BitmapFont::MaxReadMemory - budget->used)
        return nullptr; // FreeType keeps the old block
    // realloc, not a new block and a copy: FreeType grows some arrays one element at a time.
    auto* moved = static_cast<char*>(std::realloc(block, BlockHeader + size_t(newSize)));
    if (!moved)
        return nullptr;
    std::memcpy(moved, &newSize, sizeof newSize);
    budget->used += newSize - size;
    return moved + BlockHeader;
}

struct LibraryDone {
    void operator()(FT_Library library) const { FT_Done_Library(library); }
};
struct FaceDone {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// Printable text of a glyph for a message: U+0041 "A".
QString glyphName(char32_t code) {
    const QString number =
        QStringLiteral("U+") + QString::number(uint(code), 16).toUpper().rightJustified(4, u'0');
    const QString text = QString::fromUcs4(&code, 1);
    return QChar::isPrint(code) && code != U'"' ? Text::tr("the glyph %1 \"%2\"").arg(number, text)
                                                : Text::tr("the glyph %1").arg(number);
}

bool startsWith(const QByteArray& data, const char* magic) {
    return data.startsWith(QByteArrayView(magic));
}

} // namespace

class FontReader {
public:
    FontReader(const QByteArray& data, const QString& name) : data_(data), name_(name) {}

    Result<BitmapFont> read() {
        if (unpack() && checkLines() && open() && readGlyphs() && finish())
            return std::move(font_);
        return Refusal(name_, error_);
    }

private:
    // A glyph as read, its columns with bit 0 = its lowest inked row, at `bottom` (y up from the
    // baseline).
    struct Pending {
        char32_t code = 0;
        Glyph glyph;
        int bottom = 0;
    };

    QByteArray data_;
    QString name_;
    QString error_;
    Budget budget_;
    FT_MemoryRec_ memory_{&budget_, budgetAlloc, budgetFree, budgetRealloc};
    std::unique_ptr<FT_LibraryRec_, LibraryDone> library_;
    std::unique_ptr<FT_FaceRec_, FaceDone> face_; // declared after library_: done before it
    int ascent_ = 0, descent_ = 0;
    QList<Pending> pending_;
    BitmapFont font_;

    bool fail(const QString& what) {
        error_ = what;
        return false;
    }

    // Unpacks a gzip file, up to the size a font may have. Other compressions are refused: FreeType
    // would unpack them itself, with no bound on how much.
    bool unpack() {
        if (data_.isEmpty())
            return fail(Text::tr("the file is empty"));
        if (startsWith(data_, "\x1F\x8B")) {
            if (!gunzip())
                return false;
            if (data_.isEmpty())
                return fail(Text::tr("the file unpacks to nothing"));
            if (startsWith(data_, "\x1F\x8B"))
                return fail(Text::tr("the file is compressed twice; this is not a font"));
        }
        if (startsWith(data_, "\x1F\x9D") || startsWith(data_, "BZh"))
            return fail(Text::tr("the file is compressed with compress or bzip2; unpack it "
                                 "first or use a gzip-compressed font"));
        return true;
    }

    bool gunzip() {
        z_stream z{};
        if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
            return fail(Text::tr("cannot unpack the file: out of memory"));
        const auto done = qScopeGuard([&] { inflateEnd(&z); });
        const QByteArray packed = data_;
        QByteArray out;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
        z.avail_in = uInt(packed.size());
        constexpr qsizetype Chunk = 64 * 1024;
        int status = Z_OK;
        while (status != Z_STREAM_END || z.avail_in > 0) {
            if (status == Z_STREAM_END && inflateReset(&z) != Z_OK) // a further gzip member
                return fail(Text::tr("cannot unpack the file"));
            if (out.size() > BitmapFont::MaxFileBytes)
                return fail(Text::tr("the file unpacks to more than %1 MiB; this is not a font "
                                     "for the sign")
                                .arg(BitmapFont::MaxFileBytes / (1024 * 1024)));
            const qsizetype had = out.size();
            out.resize(had + Chunk);
            z.next_out = reinterpret_cast<Bytef*>(out.data() + had);
            z.avail_out = uInt(Chunk);
            status = inflate(&z, Z_NO_FLUSH);
            out.resize(had + Chunk - qsizetype(z.avail_out));
            if (status == Z_BUF_ERROR || (status == Z_OK && z.avail_in == 0 && z.avail_out > 0))
                return fail(Text::tr("the gzip-compressed data ends too soon; the file may be cut "
                                     "short"));
            if (status != Z_OK && status != Z_STREAM_END)
                return fail(Text::tr("the gzip-compressed data is damaged (%1)")
                                .arg(QString::fromLatin1(z.msg ? z.msg : "?")));
        }
        if (out.size() > BitmapFont::MaxFileBytes)
            return fail(Text::tr("the file unpacks to more than %1 MiB; this is not a font for the "
                                 "sign")
                            .arg(BitmapFont::MaxFileBytes / (1024 * 1024)));
        data_ = std::move(out);
        return true;
    }

    // Calls `take` with each line of the data and its number, as FreeType splits them (at CR, LF
    // or CR LF), until it returns false.
    template <typename Take> void forEachLine(Take take) const {
        int number = 1;
        for (qsizetype start = 0; start <= data_.size(); ++number) {
            qsizetype end = start;
            while (end < data_.size() && data_[end] != '\n' && data_[end] != '\r')
                ++end;
            if (!take(QByteArrayView(data_).sliced(start, end - start), number))
                return;
            start =
                end +
                (end + 1 < data_.size() && data_[end] == '\r' && data_[end + 1] == '\n' ? 2 : 1);
        }
    }

    // Whether FreeType reads the data as BDF: its first line that is not blank, a comment or an
    // end-of-file mark begins with STARTFONT.
    bool isBdf() const {
        bool bdf = false;
        forEachLine([&](QByteArrayView line, int) {
            if (line.isEmpty() || line.front() == '#' || line.front() == '\x1A' ||
                line.startsWith("COMMENT"))
                return true;
            bdf = line.startsWith("STARTFONT");
            return false;
        });
        return bdf;
    }

    // A BDF file is text: its lines are kept within a length, so that a file without line ends is
    // refused before it is parsed, and its properties within a number (FreeType holds them in a
    // table that it cannot grow safely once out of memory).
    bool checkLines() {
        if (!isBdf())
            return true;
        int properties = -1; // outside STARTPROPERTIES .. ENDPROPERTIES
        forEachLine([&](QByteArrayView line, int number) {
            if (line.size() > BitmapFont::MaxLineLength)
                return fail(Text::tr("line %1: the line is longer than %2 characters; this is "
                                     "not a BDF font")
                                .arg(number)
                                .arg(BitmapFont::MaxLineLength));
            if (line.startsWith("STARTPROPERTIES"))
                properties = 0;
            else if (line.startsWith("ENDPROPERTIES"))
                properties = -1;
            else if (properties >= 0 && ++properties > BitmapFont::MaxProperties)
                return fail(Text::tr("line %1: more than %2 properties; this is not a font for "
                                     "the sign")
                                .arg(number)
                                .arg(BitmapFont::MaxProperties));
            return true;
        });
        return error_.isEmpty();
    }

    bool open() {
        FT_Library library = nullptr;
        if (FT_New_Library(&memory_, &library) != 0)
            return fail(Text::tr("cannot start FreeType: out of memory"));
        library_.reset(library);
        FT_Add_Default_Modules(library);
        FT_Set_Default_Properties(library);

        FT_Face face = nullptr;
        const FT_Error error =
            FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(data_.constData()),
                               FT_Long(data_.size()), 0, &face);
        if (error)
            return failed(error);
        face_.reset(face);
        if (FT_IS_SCALABLE(face)) {
            const QString family = QString::fromLatin1(face->family_name);
            return fail(
                Text::tr("%1 is an outline font, not a bitmap font; the sign needs a bitmap font "
                         "(BDF or PCF) of at most %2 rows")
                    .arg(family.isEmpty() ? Text::tr("this") : family)
                    .arg(BitmapFont::MaxHeight));
        }
        if (!FT_HAS_FIXED_SIZES(face) || face->num_fixed_sizes < 1)
            return fail(Text::tr("the font has no bitmaps; this is not a bitmap font"));
        if (face->num_glyphs > BitmapFont::MaxGlyphs + 1) // BDF and PCF count a default glyph
            return fail(Text::tr("more than %1 glyphs; this is not a font for the sign")
                            .arg(BitmapFont::MaxGlyphs));
        return selectStrike();
    }

    // The refusal for an error of FreeType's.
    bool failed(FT_Error error) {
        // FreeType's PCF driver tells most faults of a PCF file as an unknown format.
        if (startsWith(data_, "\1fcp") && FT_ERROR_BASE(error) != FT_Err_Out_Of_Memory)
            return fail(Text::tr("the PCF font is broken or cut short"));
        switch (FT_ERROR_BASE(error)) {
        case FT_Err_Unknown_File_Format:
            return fail(Text::tr("this is not a font: neither BDF nor PCF, nor another format "
                                 "FreeType reads"));
        case FT_Err_Out_Of_Memory:
            return fail(Text::tr("reading the font takes more than %1 MiB; this is not a font "
                                 "for the sign")
                            .arg(BitmapFont::MaxReadMemory / (1024 * 1024)));
        case FT_Err_Corrupted_Font_Header:
            return fail(Text::tr("the font's header is broken or cut short"));
        case FT_Err_Corrupted_Font_Glyphs:
            return fail(Text::tr("the font's glyphs are broken or cut short (a glyph without "
                                 "ENDCHAR, or no ENDFONT)"));
        default:
            return fail(Text::tr("the font is broken: %1").arg(freeTypeError(error)));
        }
    }

    // The tallest strike of at most 8 rows. A font of one strike is taken whatever its height, to
    // be refused with its ascent and descent.
    bool selectStrike() {
        FT_Face face = face_.get();
        int best = -1;
        for (int i = 0; i < face->num_fixed_sizes; ++i) {
            const int height = face->available_sizes[i].height;
            if (height <= BitmapFont::MaxHeight &&
                (best < 0 || height > face->available_sizes[best].height))
                best = i;
        }
        if (best < 0 && face->num_fixed_sizes == 1)
            best = 0;
        if (best < 0) {
            int smallest = face->available_sizes[0].height;
            for (int i = 1; i < face->num_fixed_sizes; ++i)
                smallest = std::min<int>(smallest, face->available_sizes[i].height);
            return fail(Text::tr("none of the font's %1 sizes fits the sign's %2 rows (the "
                                 "smallest is %3 pixels high)")
                            .arg(face->num_fixed_sizes)
                            .arg(BitmapFont::MaxHeight)
                            .arg(smallest));
        }
        if (const FT_Error error = FT_Select_Size(face, best))
            return failed(error);
        const FT_Size_Metrics& metrics = face->size->metrics;
        const FT_Pos ascent = (metrics.ascender + 32) / 64,
                     descent = (-metrics.descender + 32) / 64;
        if (ascent < -MaxOffset || ascent > MaxOffset || descent < -MaxOffset ||
            descent > MaxOffset)
            return fail(Text::tr("the font's ascent %1 or descent %2 is outside %3..%4; this is "
                                 "not a font for the sign")
                            .arg(ascent)
                            .arg(descent)
                            .arg(-MaxOffset)
                            .arg(MaxOffset));
        ascent_ = int(ascent);
        descent_ = int(descent);
        return ascent_ + descent_ <= BitmapFont::MaxHeight || tooHigh(ascent_, descent_);
    }

    bool tooHigh(int ascent, int descent) {
        return fail(Text::tr("the font is %1 pixels high (ascent %2, descent %3); the sign has %4 "
                             "rows")
                        .arg(ascent + descent)
                        .arg(ascent)
                        .arg(descent)
                        .arg(BitmapFont::MaxHeight));
    }

    // Codes of a Unicode font are taken as they are. BDF and PCF fonts in another charset agree
    // with Unicode only in their ASCII half (ISO 8859-1 in all of it); codes beyond are left out
    // rather than shown as the wrong letters. Other formats say themselves whether they are
    // Unicode.
    bool asciiOnly() {
        FT_Face face = face_.get();
        const QByteArrayView format(FT_Get_Font_Format(face));
        if (format != "BDF" && format != "PCF")
            return face->charmap->encoding != FT_ENCODING_UNICODE;
        const auto property = [&](const char* name) {
            BDF_PropertyRec p{};
            return FT_Get_BDF_Property(face, name, &p) == 0 && p.type == BDF_PROPERTY_TYPE_ATOM &&
                           p.u.atom
                       ? QByteArray(p.u.atom).toUpper()
                       : QByteArray();
        };
        const QByteArray registry = property("CHARSET_REGISTRY");
        return !(registry.isEmpty() || registry == "ISO10646" ||
                 (registry == "ISO8859" && property("CHARSET_ENCODING") == "1"));
    }

    bool readGlyphs() {
        FT_Face face = face_.get();
        if (!face->charmap && face->num_charmaps > 0)
            FT_Set_Charmap(face, face->charmaps[0]);
        if (!face->charmap)
            return fail(Text::tr("the font has no character map"));
        const bool ascii = asciiOnly();
        FT_Bitmap bitmap;
        FT_Bitmap_Init(&bitmap);
        const auto done = qScopeGuard([&] { FT_Bitmap_Done(library_.get(), &bitmap); });
        FT_UInt index = 0;
        int count = 0;
        for (FT_ULong code = FT_Get_First_Char(face, &index); index != 0;
             code = FT_Get_Next_Char(face, code, &index)) {
            if (++count > BitmapFont::MaxGlyphs)
                return fail(Text::tr("more than %1 glyphs; this is not a font for the sign")
                                .arg(BitmapFont::MaxGlyphs));
            if (code > 0x10FFFF || (ascii && code > 0x7F) || (code >= 0xD800 && code <= 0xDFFF))
                continue;
            if (!readGlyph(char32_t(code), index, bitmap))
                return false;
        }
        return true;
    }

    bool readGlyph(char32_t code, FT_UInt index, FT_Bitmap& bitmap) {
        FT_Face face = face_.get();
        const QString which = glyphName(code);
        if (const FT_Error error = FT_Load_Glyph(
                face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_SBITS_ONLY))
            return fail(Text::tr("%1 cannot be read (%2)").arg(which, freeTypeError(error)));
        const FT_GlyphSlot slot = face->glyph;
        if (slot->format != FT_GLYPH_FORMAT_BITMAP)
            return fail(Text::tr("%1 is not a bitmap").arg(which));
        const FT_Pos advance = (slot->advance.x + 32) / 64;
        if (advance < 0 || advance > BitmapFont::MaxGlyphSize)
            return fail(Text::tr("%1 advances %2 pixels; the most is %3")
                            .arg(which)
                            .arg(advance)
                            .arg(BitmapFont::MaxGlyphSize));
        // A BDF glyph without BITMAP has a size but no bits: it has no ink.
        const bool bits = slot->bitmap.buffer != nullptr;
        const int width = bits ? int(slot->bitmap.width) : 0;
        const int height = bits ? int(slot->bitmap.rows) : 0;
        if (width > BitmapFont::MaxGlyphSize || height > BitmapFont::MaxGlyphSize)
            return fail(Text::tr("%1 is %2 x %3 pixels; the most is %4 x %4")
                            .arg(which)
                            .arg(width)
                            .arg(height)
                            .arg(BitmapFont::MaxGlyphSize));
        // One byte a pixel whatever FreeType gives (1, 2, 4 or 8 bits, or colour); lit from half.
        if (const FT_Error error =
                bits ? FT_Bitmap_Convert(library_.get(), &slot->bitmap, &bitmap, 1) : 0)
            return fail(Text::tr("%1 cannot be read (%2)").arg(which, freeTypeError(error)));
        const int levels = std::max<int>(2, bitmap.num_grays);
        const auto inked = [&](int row, int x) {
            return 2 * int(bitmap.buffer[row * bitmap.pitch + x]) >= levels;
        };
        int top = height, bottom = -1, left = width, right = -1;
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x)
                if (inked(row, x)) {
                    top = std::min(top, row), bottom = std::max(bottom, row);
                    left = std::min(left, x), right = std::max(right, x);
                }
        Pending glyph;
        glyph.code = code;
        glyph.glyph.advance = int(advance);
        if (bottom >= 0) {
            if (bottom - top + 1 > BitmapFont::MaxHeight)
                return fail(Text::tr("%1 is %2 pixels high; the sign has %3 rows")
                                .arg(which)
                                .arg(bottom - top + 1)
                                .arg(BitmapFont::MaxHeight));
            // Bitmap row `row` lies at y = top - 1 - row above the baseline.
            const qint64 y = qint64(slot->bitmap_top) - 1 - bottom;
            if (y < -MaxOffset || y > MaxOffset)
                return fail(Text::tr("%1 lies %2 pixels from the baseline; the most is %3")
                                .arg(which)
                                .arg(y)
                                .arg(MaxOffset));
            glyph.bottom = int(y);
            for (int x = left; x <= right; ++x) {
                quint8 column = 0;
                for (int row = top; row <= bottom; ++row)
                    column |= quint8(inked(row, x) << (bottom - row));
                glyph.glyph.columns.append(column);
            }
        }
        pending_.append(std::move(glyph));
        return true;
    }

    // Places the glyphs in the font's rows once all are read: the font's ascent and descent
    // (stretched to any glyph that reaches beyond them) must fit the sign's 8 rows.
    bool finish() {
        if (pending_.isEmpty())
            return fail(Text::tr("the font has no glyphs"));
        int ascent = ascent_, descent = descent_;
        for (const Pending& p : pending_) {
            if (p.glyph.columns.isEmpty())
                continue;
            quint8 all = 0;
            for (quint8 column : p.glyph.columns)
                all |= column;
            const int top = p.bottom + std::bit_width(all) - 1; // the highest inked row's y
            ascent = std::max(ascent, top + 1);
            descent = std::max(descent, -p.bottom);
        }
        const int height = ascent + descent;
        if (height > BitmapFont::MaxHeight)
            return tooHigh(ascent, descent);
        if (height < 1)
            return fail(Text::tr("the font has no height (ascent %1, descent %2)")
                            .arg(ascent)
                            .arg(descent));
        font_.name_ = name_;
        font_.ascent_ = ascent;
        font_.descent_ = descent;
        font_.glyphs_.reserve(pending_.size());
        for (Pending& p : pending_) {
            // y = ascent - 1 is row 1 (bit 7), so y sits at bit 8 - ascent + y.
            const int shift = BitmapFont::MaxHeight - ascent + p.bottom;
            for (quint8& column : p.glyph.columns)
                column = quint8(column << shift);
            font_.glyphs_.insert(p.code, std::move(p.glyph));
        }
        if (!font_.glyphs_.contains(U' ')) { // a space is always there: as wide as the font
            const FT_Pos width = (face_->size->metrics.max_advance + 32) / 64;
            font_.glyphs_.insert(
                U' ', Glyph{{}, width > 0 && width <= BitmapFont::MaxGlyphSize ? int(width) : 4});
        }
        return true;
    }
};

Result<BitmapFont> BitmapFont::fromData(const QByteArray& data, const QString& name) {
    return FontReader(data, name).read();
}

} // namespace orvane
