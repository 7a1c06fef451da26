#include "bitmapfont.h"

#include "boundedfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QtDebug>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::BitmapFont)
};
} // namespace

Result<BitmapFont> BitmapFont::load(const QString& fileName) {
    const Result<FileBytes> file = readBoundedFile(fileName, MaxFileBytes);
    if (!file)
        return file.refusal();
    if (file->truncated)
        return Refusal(fileName,
                       Text::tr("the file is larger than %1 MiB; this is not a font for the sign")
                           .arg(MaxFileBytes / (1024 * 1024)));
    return fromData(file->data, fileName);
}

namespace {
// A font compiled into the program; a broken one is a broken build.
BitmapFont readBundled(const QString& resource, const QString& name) {
    QFile file(resource);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    BitmapFont font = BitmapFont::bundledFrom(data, name);
    if (font.glyphCount() == 0)
        qFatal("the bundled font %s (%s) is broken", qPrintable(name), qPrintable(resource));
    return font;
}
} // namespace

BitmapFont BitmapFont::bundledFrom(const QByteArray& data, const QString& name) {
    BitmapFont font;
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const uchar* const end = p + data.size();
    const auto take = [&](int bytes) -> quint32 {
        quint32 value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= quint32(p[i]) << (8 * i);
        p += bytes;
        return value;
    };
    if (data.size() < 11 || !data.startsWith(QByteArrayLiteral("ORVF\x01")))
        return {};
    p += 5;
    font.ascent_ = int(take(1));
    font.descent_ = int(take(1));
    const quint32 count = take(4);
    font.glyphs_.reserve(qsizetype(count));
    for (quint32 i = 0; i < count; ++i) {
        if (end - p < 8)
            return {};
        const char32_t code = take(4);
        Glyph glyph;
        glyph.advance = int(take(2));
        const int columns = int(take(2));
        if (end - p < columns)
            return {};
        glyph.columns = QList<quint8>(p, p + columns);
        p += columns;
        font.glyphs_.insert(code, std::move(glyph));
    }
    if (p != end)
        return {};
    font.name_ = name;
    return font;
}

const BitmapFont& BitmapFont::builtin() {
    static const BitmapFont font =
        readBundled(QStringLiteral(":/fonts/5x8.orvf"), QStringLiteral("5x8"));
    return font;
}

const BitmapFont& BitmapFont::hangul() {
    static const BitmapFont font =
        readBundled(QStringLiteral(":/fonts/galmuri7-hangul.orvf"), QStringLiteral("galmuri7"));
    return font;
}

QStringList BitmapFont::bundledNames() {
    return {QStringLiteral("5x8"), QStringLiteral("galmuri7")};
}

const BitmapFont* BitmapFont::bundled(const QString& name) {
    if (name == QLatin1String("5x8"))
        return &builtin();
    if (name == QLatin1String("galmuri7"))
        return &hangul();
    return nullptr;
}

} // namespace orvane
