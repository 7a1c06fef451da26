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

FontLoad BitmapFont::load(const QString& fileName) {
    const BoundedRead file = readBoundedFile(fileName, MaxFileBytes);
    FontLoad result;
    if (!file.ok)
        result.error = QStringLiteral("%1: %2").arg(fileName, file.error);
    else if (file.truncated)
        result.error = Text::tr("%1: the file is larger than %2 MiB; this is not a font for "
                                "the sign")
                           .arg(fileName, QString::number(MaxFileBytes / (1024 * 1024)));
    else
        result = fromData(file.data, fileName);
    return result;
}

const BitmapFont& BitmapFont::builtin() {
    static const BitmapFont font = [] {
        QFile file(QStringLiteral(":/fonts/5x8.bdf"));
        const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        FontLoad loaded = fromData(data, QStringLiteral("5x8"));
        if (!loaded.ok)
            qFatal("the built-in font is broken: %s", qPrintable(loaded.error));
        return std::move(loaded.font);
    }();
    return font;
}

QStringList BitmapFont::bundledNames() {
    return {builtin().name()};
}

const BitmapFont* BitmapFont::bundled(const QString& name) {
    return name == builtin().name() ? &builtin() : nullptr;
}

} // namespace orvane
