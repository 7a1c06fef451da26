#include "source.h"

#include "bitmapfont.h"
#include "imageimport.h"
#include "patternfile.h"
#include "textlayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <optional>
#include <utility>

namespace orvane {

namespace {

// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Send)
};

Result<PictureAndSpeed> fromPatternFile(const QString& file) {
    if (file != QLatin1String("-"))
        return PatternFile::load(file);
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return Refusal(Text::tr("standard input"),
                       Text::tr("cannot read: %1").arg(in.errorString()));
    Result<PictureAndSpeed> read = PatternFile::read(in);
    if (!read)
        return Refusal(Text::tr("standard input"), read.refusal().reason);
    return read;
}

// "U+20AC" and, where it can be shown, the character itself.
QString characterName(char32_t c) {
    const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    const QString text = QString::fromUcs4(&c, 1);
    return text.at(0).isPrint() ? QStringLiteral("\"%1\" (%2)").arg(text, code) : code;
}

Result<PictureAndSpeed> fromText(const SendOptions& options) {
    std::optional<Result<BitmapFont>> loaded;
    const BitmapFont* bundled =
        options.font.isEmpty() ? &BitmapFont::builtin() : BitmapFont::bundled(options.font);
    if (!bundled) {
        loaded = BitmapFont::load(options.font);
        if (!*loaded)
            return loaded->refusal();
    }
    const BitmapFont& font = bundled ? *bundled : loaded->value();
    const TextRun run = layOutText(font, options.text, options.valign);
    QStringList warnings;
    for (const char32_t c : run.missing)
        warnings << Text::tr("the font %1 has no %2; it is drawn as a box")
                        .arg(font.name(), characterName(c));
    const int width = int(run.columns.size());
    if (run.cut)
        warnings << Text::tr("the text is more than %1 columns wide; only its first %2 "
                             "are shown")
                        .arg(MaxRunColumns)
                        .arg(PatternCols);
    else if (width > PatternCols)
        warnings << Text::tr("the text is %1 columns wide; only its first %2 are shown")
                        .arg(width)
                        .arg(PatternCols);
    DotPattern picture;
    writeColumns(run.columns, alignedStart(width, options.align),
                 [&](int row, int col, const QString& text) { picture.setText(row, col, text); });
    return {{picture, Speed()}, warnings};
}

Result<PictureAndSpeed> fromImage(const SendOptions& options) {
    const Result<ImagePicture> image =
        loadImagePicture(options.file, {options.threshold, options.invert});
    if (!image)
        return image.refusal();
    return {{image->picture, Speed()}, image.warnings()};
}

} // namespace

// Scripts read these lines: they are the same in every language.
QStringList fontListing(const QString& folder) {
    QStringList lines;
    for (const QString& name : BitmapFont::bundledNames())
        lines << QStringLiteral("%1\t%2 rows\tbundled")
                     .arg(name)
                     .arg(BitmapFont::bundled(name)->height());
    QDirIterator it(folder,
                    {QStringLiteral("*.bdf"), QStringLiteral("*.pcf"), QStringLiteral("*.pcf.gz")},
                    QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext() && files.size() < MaxListedFiles)
        files << it.next();
    files.sort();
    for (const QString& file : std::as_const(files)) {
        const Result<BitmapFont> loaded = BitmapFont::load(file);
        if (loaded)
            lines << QStringLiteral("%1\t%2 rows").arg(file).arg(loaded->height());
    }
    return lines;
}

Result<PictureAndSpeed> readSource(const SendOptions& options) {
    switch (options.source) {
    case SendOptions::Source::Text:
        return fromText(options);
    case SendOptions::Source::Image:
        return fromImage(options);
    case SendOptions::Source::PatternFile:
        break;
    }
    return fromPatternFile(options.file);
}

} // namespace orvane
