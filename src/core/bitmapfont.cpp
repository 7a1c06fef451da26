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

Result<LoadedFont> BitmapFont::load(const QString& fileName) {
    const Result<FileBytes> file = readBoundedFile(fileName, MaxFileBytes);
    if (!file.ok)
        return Result<LoadedFont>::refused(file.refusal);
    if (file.truncated)
        return Result<LoadedFont>::refused(
            {fileName, Text::tr("the file is larger than %1 MiB; this is not a font for the sign")
                           .arg(MaxFileBytes / (1024 * 1024))});
    return fromData(file.data, fileName);
}

namespace {
// A font compiled into the program; a broken one is a broken build.
BitmapFont readBundled(const QString& resource, const QString& name) {
    QFile file(resource);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    Result<LoadedFont> loaded = BitmapFont::fromData(data, name);
    if (!loaded.ok)
        qFatal("the bundled font %s is broken: %s", qPrintable(name), qPrintable(loaded.error()));
    return std::move(loaded.font);
}
} // namespace

const BitmapFont& BitmapFont::builtin() {
    static const BitmapFont font =
        readBundled(QStringLiteral(":/fonts/5x8.bdf"), QStringLiteral("5x8"));
    return font;
}

const BitmapFont& BitmapFont::hangul() {
    static const BitmapFont font =
        readBundled(QStringLiteral(":/fonts/galmuri7-hangul.bdf"), QStringLiteral("galmuri7"));
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
