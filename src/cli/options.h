#pragma once

// Command line of orvane-send: one source of a picture (a pattern file, a text or an image) and
// where it goes (the sign, the frame on standard output, a pattern file, the terminal, a PNG).

#include "imageimport.h"
#include "linktarget.h"
#include "speed.h"
#include "textlayout.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace orvane {

struct SendOptions {
    enum class Source { PatternFile, Text, Image };
    Source source = Source::PatternFile;
    QString file; // the pattern file ("-" for standard input) or the image

    QString text;                     // the text to lay out
    QString font;                     // a bundled font's name or a font file; empty for 5x8
    Align align = Align::Left;        // where the text stands
    VAlign valign = VAlign::Middle;   // where a font lower than 8 rows stands
    int threshold = DefaultThreshold; // an image's pixel is lit from this lightness (percent) on
    bool invert = false;              // an image's dark pixels are lit instead

    std::optional<Speed> speed; // overrides the source's speed

    // Outputs. Without --frame, --save, --show or --png the picture goes to the sign; with one
    // of them it goes there too only when --port, --device or --sign names a line.
    QList<LinkTarget> links; // --port and --device; without them and --sign, ORVANE_DEVICE's
                             // device or port 1
    QStringList signs;       // --sign, names of signs.conf
    bool send = true;        // open the lines and send
    bool frameOnly = false;
    QString saveFile;
    bool show = false;
    QString pngFile;
    int scale = 1; // pixels a dot in the PNG, each way

    bool listPorts = false;
    bool listFonts = false;
    bool listSigns = false;
    bool help = false;
    bool version = false;
};

// Exit codes, documented in the help text and the README.
enum ExitCode {
    ExitSent = 0,
    ExitUsage = 2,
    ExitSourceRefused = 3,
    ExitPortFailed = 4,
};

// Parses the whole command line (program name first); a usage error is refused, its message
// naming the option at fault.
Result<SendOptions> parseSendOptions(const QStringList& arguments);

QString sendHelpText();

} // namespace orvane
