#pragma once

// The picture orvane-send works on, made from its source: a pattern file (or standard input), a
// text laid out in a bitmap font, or an image.

#include "dotpattern.h"
#include "options.h"

#include <QStringList>

namespace orvane {

struct SourcePicture {
    bool ok = false;
    DotPattern picture;
    int speed = StartSpeed; // the pattern file's speed; 5 for a text or an image
    QStringList warnings;   // something was lost or stands in, but there is a picture
    QString error;          // why there is no picture, naming the file
};

SourcePicture readSource(const SendOptions& options);

// At most this many font files are looked at under a folder.
inline constexpr int MaxListedFiles = 4096;

// "NAME<tab>N rows<tab>bundled" for each bundled font, then "FILE<tab>N rows" for each bitmap
// font (BDF, PCF, PCF.gz) under `folder` that the sign can show (8 rows or fewer), by file name.
QStringList fontListing(const QString& folder);

} // namespace orvane
