// The BDF reader: a bounded, single pass over the text of a font. Every number is checked against
// a limit before it is used, so a broken or hostile file is refused with a message, never read
// into a huge allocation or past its end.

#include "bitmapfont.h"

#include <QByteArrayView>
#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::BitmapFont)
};
} // namespace

namespace {

// Glyph positions (BBX offsets) and the font's ascent and descent are kept within this.
constexpr int MaxOffset = 1024;

struct Words {
    std::array<QByteArrayView, 6> word;
    int count = 0;
    QByteArrayView operator[](int i) const {
        return i < count ? word[size_t(i)] : QByteArrayView();
    }
};

Words split(QByteArrayView line) {
    Words words;
    qsizetype i = 0;
    while (i < line.size() && words.count < int(words.word.size())) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const qsizetype start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            words.word[size_t(words.count++)] = line.sliced(start, i - start);
    }
    return words;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A property's value without its quotes.
QByteArrayView unquoted(QByteArrayView value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.sliced(1, value.size() - 2);
    return value;
}

// Printable text for a message, of at most 32 characters.
QString shown(QByteArrayView text) {
    QString result = QString::fromLatin1(text.first(std::min<qsizetype>(text.size(), 32)));
    for (QChar& c : result)
        if (!c.isPrint())
            c = u'?';
    return text.size() > 32 ? result + u'…' : result;
}

} // namespace

class BdfReader {
public:
    BdfReader(const QByteArray& data, const QString& name) : data_(data), name_(name) {}

    FontLoad read() {
        FontLoad result;
        if (readFont() && finish()) {
            result.ok = true;
            result.font = std::move(font_);
        } else {
            result.error = error_;
        }
        return result;
    }

private:
    // A glyph as read, its columns with bit 0 = its lowest inked row, at `bottom` (y up from the
    // baseline).
    struct Pending {
        char32_t code = 0;
        Glyph glyph;
        int bottom = 0;
    };

    const QByteArray& data_;
    QString name_;
    qsizetype pos_ = 0;
    int lineNo_ = 0;
    QByteArrayView line_;
    Words words_;
    QString error_;

    bool haveAscent_ = false, haveDescent_ = false, haveBox_ = false;
    int ascent_ = 0, descent_ = 0;
    int boxWidth_ = 0, boxHeight_ = 0, boxY_ = 0;
    bool asciiOnly_ = false; // a charset other than Unicode: only its ASCII half is taken
    int glyphsRead_ = 0;
    QList<Pending> pending_;
    BitmapFont font_;

    bool fail(const QString& what, int line = -1) {
        if (line < 0)
            line = lineNo_;
        error_ = line > 0 ? Text::tr("%1: line %2: %3").arg(name_, QString::number(line), what)
                          : QStringLiteral("%1: %2").arg(name_, what);
        return false;
    }

    // Moves to the next line; false at the end of the data or on a line that is too long
    // (error_ tells which).
    bool nextLine() {
        if (pos_ >= data_.size())
            return false;
        const qsizetype rest = data_.size() - pos_;
        const qsizetype scan = std::min<qsizetype>(rest, BitmapFont::MaxLineLength + 2);
        const char* begin = data_.constData() + pos_;
        const void* nl = std::memchr(begin, '\n', size_t(scan));
        qsizetype length = nl ? static_cast<const char*>(nl) - begin : scan;
        ++lineNo_;
        pos_ += nl ? length + 1 : length;
        if (length > 0 && begin[length - 1] == '\r')
            --length;
        if ((!nl && scan < rest) || length > BitmapFont::MaxLineLength)
            return fail(Text::tr("the line is longer than %1 characters; this is not a BDF "
                                 "font")
                            .arg(BitmapFont::MaxLineLength));
        line_ = QByteArrayView(begin, length);
        words_ = split(line_);
        return true;
    }

    QByteArrayView keyword() const { return words_[0]; }

    // Word `index` of the current line as a number within min..max.
    bool number(int index, int min, int max, const char* what, int* out) {
        const QByteArrayView word = words_[index];
        if (word.isEmpty())
            return fail(Text::tr("%1: the %2 is missing").arg(shown(keyword()), what));
        int value = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (ec == std::errc::result_out_of_range ||
            (ec == std::errc() && end == word.data() + word.size() && (value < min || value > max)))
            return fail(Text::tr("%1: the %2 %3 is outside %4..%5")
                            .arg(shown(keyword()), what, shown(word), QString::number(min),
                                 QString::number(max)));
        if (ec != std::errc() || end != word.data() + word.size())
            return fail(Text::tr("%1: the %2 \"%3\" is not a number")
                            .arg(shown(keyword()), what, shown(word)));
        *out = value;
        return true;
    }

    bool readFont() {
        // Comments and blank lines may come first; then the file must say what it is.
        bool started = false;
        while (!started) {
            if (!nextLine())
                return error_.isEmpty()
                           ? fail(data_.isEmpty() ? Text::tr("the file is empty")
                                                  : Text::tr("this is not a BDF font: it "
                                                             "has no STARTFONT"),
                                  0)
                           : false;
            if (keyword() == "STARTFONT")
                started = true;
            else if (!(words_.count == 0 || keyword() == "COMMENT"))
                return fail(Text::tr("this is not a BDF font: it does not begin with "
                                     "STARTFONT"));
        }
        while (nextLine()) {
            const QByteArrayView key = keyword();
            if (key == "FONTBOUNDINGBOX") {
                int x = 0;
                if (!number(1, 0, BitmapFont::MaxGlyphSize, "width", &boxWidth_) ||
                    !number(2, 0, BitmapFont::MaxGlyphSize, "height", &boxHeight_) ||
                    !number(3, -MaxOffset, MaxOffset, "x offset", &x) ||
                    !number(4, -MaxOffset, MaxOffset, "y offset", &boxY_))
                    return false;
                haveBox_ = true;
            } else if (key == "STARTPROPERTIES") {
                if (!readProperties())
                    return false;
            } else if (key == "CHARS") {
                int count = 0;
                if (!number(1, 0, BitmapFont::MaxGlyphs, "glyph count", &count))
                    return false;
            } else if (key == "STARTCHAR") {
                if (!readGlyph())
                    return false;
            } else if (key == "ENDFONT") {
                return true;
            }
        }
        return error_.isEmpty()
                   ? fail(Text::tr("the file ends without ENDFONT; it may be cut short"), 0)
                   : false;
    }

    bool readProperties() {
        const int start = lineNo_;
        QByteArray registry, encoding;
        while (nextLine()) {
            const QByteArrayView key = keyword();
            if (key == "ENDPROPERTIES") {
                setCharset(registry, encoding);
                return true;
            }
            if (key == "FONT_ASCENT") {
                if (!number(1, -MaxOffset, MaxOffset, "ascent", &ascent_))
                    return false;
                haveAscent_ = true;
            } else if (key == "FONT_DESCENT") {
                if (!number(1, -MaxOffset, MaxOffset, "descent", &descent_))
                    return false;
                haveDescent_ = true;
            } else if (key == "CHARSET_REGISTRY") {
                registry = unquoted(words_[1]).toByteArray().toUpper();
            } else if (key == "CHARSET_ENCODING") {
                encoding = unquoted(words_[1]).toByteArray().toUpper();
            } else if (key == "STARTCHAR" || key == "ENDFONT") {
                break;
            }
        }
        return error_.isEmpty()
                   ? fail(Text::tr("the properties that begin here have no ENDPROPERTIES"), start)
                   : false;
    }

    // Codes of a Unicode font are taken as they are. Other charsets agree with Unicode only in
    // their ASCII half (ISO 8859-1 in all of it); codes beyond are left out rather than shown as
    // the wrong letters.
    void setCharset(const QByteArray& registry, const QByteArray& encoding) {
        asciiOnly_ = !(registry.isEmpty() || registry == "ISO10646" ||
                       (registry == "ISO8859" && encoding == "1"));
    }

    bool readGlyph() {
        const int start = lineNo_;
        const QString glyphName = shown(words_[1]);
        const QString which = glyphName.isEmpty() ? Text::tr("the glyph")
                                                  : Text::tr("the glyph \"%1\"").arg(glyphName);
        if (++glyphsRead_ > BitmapFont::MaxGlyphs)
            return fail(Text::tr("more than %1 glyphs; this is not a font for the sign")
                            .arg(BitmapFont::MaxGlyphs));

        int code = -1;
        int advance = boxWidth_;
        bool haveBbx = false, haveBitmap = false;
        int width = 0, height = 0, xOffset = 0, yOffset = 0;
        QByteArray bits; // height rows of rowBytes bytes
        qsizetype rowBytes = 0;
        while (nextLine()) {
            const QByteArrayView key = keyword();
            if (key == "ENCODING") {
                // -1: a glyph without a code, which no text can reach.
                if (words_[1] == "-1")
                    code = -1;
                else if (!number(1, 0, 0x10FFFF, "code", &code))
                    return false;
            } else if (key == "DWIDTH") {
                if (!number(1, 0, BitmapFont::MaxGlyphSize, "width", &advance))
                    return false;
            } else if (key == "BBX") {
                if (!number(1, 0, BitmapFont::MaxGlyphSize, "width", &width) ||
                    !number(2, 0, BitmapFont::MaxGlyphSize, "height", &height) ||
                    !number(3, -MaxOffset, MaxOffset, "x offset", &xOffset) ||
                    !number(4, -MaxOffset, MaxOffset, "y offset", &yOffset))
                    return false;
                haveBbx = true;
            } else if (key == "BITMAP") {
                if (!haveBbx)
                    return fail(Text::tr("%1 has BITMAP before its BBX").arg(which));
                if (haveBitmap)
                    return fail(Text::tr("%1 has a second BITMAP").arg(which));
                haveBitmap = true;
                rowBytes = (width + 7) / 8;
                bits = QByteArray(height * rowBytes, '\0');
                for (int row = 0; row < height; ++row) {
                    if (!nextLine())
                        return error_.isEmpty() ? fail(Text::tr("%1 has no ENDCHAR: the file "
                                                                "ends in its bitmap")
                                                           .arg(which),
                                                       start)
                                                : false;
                    if (keyword() == "ENDCHAR")
                        return fail(Text::tr("%1 has %2 bitmap rows; its BBX says %3")
                                        .arg(which, QString::number(row), QString::number(height)));
                    if (!readRow(bits.data() + row * rowBytes, rowBytes, which))
                        return false;
                }
            } else if (key == "ENDCHAR") {
                return addGlyph(code, advance, width, height, yOffset, bits, rowBytes, which,
                                start);
            } else if (key == "STARTCHAR" || key == "ENDFONT") {
                return fail(Text::tr("%1 has no ENDCHAR").arg(which), start);
            } else if (haveBitmap && words_.count > 0) {
                return fail(Text::tr("%1 has more bitmap rows than its BBX says (%2)")
                                .arg(which, QString::number(height)));
            }
        }
        return error_.isEmpty() ? fail(Text::tr("%1 has no ENDCHAR").arg(which), start) : false;
    }

    bool readRow(char* out, qsizetype rowBytes, const QString& which) {
        const QByteArrayView row = line_.trimmed();
        if (row.size() < 2 * rowBytes)
            return fail(Text::tr("%1: the bitmap row \"%2\" is shorter than its BBX width")
                            .arg(which, shown(row)));
        for (qsizetype i = 0; i < row.size(); ++i)
            if (hexDigit(row[i]) < 0)
                return fail(Text::tr("%1: the bitmap row \"%2\" is not hexadecimal")
                                .arg(which, shown(row)));
        for (qsizetype i = 0; i < rowBytes; ++i)
            out[i] = char(hexDigit(row[2 * i]) << 4 | hexDigit(row[2 * i + 1]));
        return true;
    }

    bool addGlyph(int code, int advance, int width, int height, int yOffset, const QByteArray& bits,
                  qsizetype rowBytes, const QString& which, int start) {
        const auto inked = [&](int row, int x) {
            return (quint8(bits[row * rowBytes + x / 8]) >> (7 - x % 8) & 1) != 0;
        };
        int top = height, bottom = -1, left = width, right = -1;
        for (int row = 0; row < height && !bits.isEmpty(); ++row)
            for (int x = 0; x < width; ++x)
                if (inked(row, x)) {
                    top = std::min(top, row), bottom = std::max(bottom, row);
                    left = std::min(left, x), right = std::max(right, x);
                }
        Pending glyph;
        glyph.glyph.advance = advance;
        if (bottom >= 0) {
            if (bottom - top + 1 > BitmapFont::MaxHeight)
                return fail(Text::tr("%1 is %2 pixels high; the sign has %3 rows")
                                .arg(which, QString::number(bottom - top + 1),
                                     QString::number(BitmapFont::MaxHeight)),
                            start);
            // Bitmap row `row` lies at y = yOffset + height - 1 - row above the baseline.
            glyph.bottom = yOffset + height - 1 - bottom;
            for (int x = left; x <= right; ++x) {
                quint8 column = 0;
                for (int row = top; row <= bottom; ++row)
                    column |= quint8(inked(row, x) << (bottom - row));
                glyph.glyph.columns.append(column);
            }
        }
        if (code < 0 || (asciiOnly_ && code > 0x7F) || (code >= 0xD800 && code <= 0xDFFF))
            return true;
        glyph.code = char32_t(code);
        pending_.append(std::move(glyph));
        return true;
    }

    // Places the glyphs in the font's rows once all are read: the font's ascent and descent
    // (stretched to any glyph that reaches beyond them) must fit the sign's 8 rows.
    bool finish() {
        if (pending_.isEmpty())
            return fail(Text::tr("the font has no glyphs"), 0);
        int ascent = haveAscent_ ? ascent_ : haveBox_ ? boxHeight_ + boxY_ : 0;
        int descent = haveDescent_ ? descent_ : haveBox_ ? -boxY_ : 0;
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
            return fail(Text::tr("the font is %1 pixels high (ascent %2, descent %3); the "
                                 "sign has %4 rows")
                            .arg(height)
                            .arg(ascent)
                            .arg(descent)
                            .arg(BitmapFont::MaxHeight),
                        0);
        if (height < 1)
            return fail(
                Text::tr("the font has no height (ascent %1, descent %2)").arg(ascent).arg(descent),
                0);
        font_.name_ = name_;
        font_.ascent_ = ascent;
        font_.descent_ = descent;
        font_.glyphs_.reserve(pending_.size());
        for (Pending& p : pending_) {
            if (font_.glyphs_.contains(p.code))
                continue; // the first glyph of a code counts
            // y = ascent - 1 is row 1 (bit 7), so y sits at bit 8 - ascent + y.
            const int shift = BitmapFont::MaxHeight - ascent + p.bottom;
            for (quint8& column : p.glyph.columns)
                column = quint8(column << shift);
            font_.glyphs_.insert(p.code, std::move(p.glyph));
        }
        if (!font_.glyphs_.contains(U' ')) // a space is always there: as wide as the font
            font_.glyphs_.insert(U' ', Glyph{{}, boxWidth_ > 0 ? boxWidth_ : 4});
        return true;
    }
};

FontLoad BitmapFont::fromBdf(const QByteArray& data, const QString& name) {
    return BdfReader(data, name).read();
}

} // namespace orvane
