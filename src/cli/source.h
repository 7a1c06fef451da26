#pragma once

// The picture orvane-send works on, made from its source: a pattern file (or standard input), a
// text laid out in a bitmap font, or an image.

#include "options.h"
#include "patternfile.h"
#include "result.h"

#include <QStringList>

namespace orvane {

// The speed is the pattern file's, StartSpeed for a text or an image. Warnings say what was lost
// or stands in; a refusal names the file.
Result<PictureAndSpeed> readSource(const SendOptions& options);

// At most this many font files are looked at under a folder.
inline constexpr int MaxListedFiles = 4096;

// "NAME<tab>N rows<tab>bundled" for each bundled font, then "FILE<tab>N rows" for each bitmap
// font (BDF, PCF, PCF.gz) under `folder` that the sign can show (8 rows or fewer), by file name.
QStringList fontListing(const QString& folder);

} // namespace orvane
