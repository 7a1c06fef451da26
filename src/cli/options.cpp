#include "options.h"

#include "boundedfile.h"
#include "dotpattern.h"
#include "imageexport.h"
#include "porttable.h"
#include "signsfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#if !defined(Q_OS_WIN)
#include <sys/stat.h>
#endif

namespace orvane {

namespace {

// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Send)
};

// The parser with every option, shared by parsing and the help text.
struct Parser {
    QCommandLineParser parser;
    QCommandLineOption port{
        QStringLiteral("port"),
        Text::tr("Send through serial port N, 1..16 (default: the device ORVANE_DEVICE "
                 "names, else port 1; see the port table below). May be given more than once."),
        QStringLiteral("N")};
    QCommandLineOption device{QStringLiteral("device"),
                              Text::tr("Send through this serial device, e.g. "
                                       "/dev/ttyUSB0 or a /dev/serial/by-id/ name, or to a "
                                       "sign behind a network serial server: "
                                       "socket://HOST:PORT or rfc2217://HOST:PORT. May be given "
                                       "more than once."),
                              QStringLiteral("PATH")};
    QCommandLineOption sign{QStringLiteral("sign"),
                            Text::tr("Send to the sign or group of signs NAME of the signs file "
                                     "(see below). May be given more than once; each device is "
                                     "sent to once."),
                            QStringLiteral("NAME")};
    QCommandLineOption speed{
        QStringLiteral("speed"),
        Text::tr("Send speed S, 1..9, instead of the source's (a pattern file's "
                 "own speed, 5 otherwise)."),
        QStringLiteral("S")};
    QCommandLineOption text{
        QStringLiteral("text"),
        Text::tr("Send TEXT, laid out in a bitmap font, instead of a pattern file."),
        QStringLiteral("TEXT")};
    QCommandLineOption font{
        QStringLiteral("font"),
        Text::tr("With --text: the font, a bundled one's name (5x8, galmuri7) or a bitmap "
                 "font file, BDF, PCF or PCF.gz (default: 5x8). A character it lacks is taken "
                 "from 5x8, then galmuri7."),
        QStringLiteral("FONT")};
    QCommandLineOption align{QStringLiteral("align"),
                             Text::tr("With --text: left (default), center or right."),
                             QStringLiteral("WHERE")};
    QCommandLineOption valign{
        QStringLiteral("valign"),
        Text::tr("With --text: where a font lower than 8 rows stands: top, middle (default) "
                 "or bottom."),
        QStringLiteral("WHERE")};
    QCommandLineOption image{
        QStringLiteral("image"),
        Text::tr("Send an image (PNG, BMP, GIF, JPEG, PPM, ...) scaled to 8 rows, "
                 "instead of a pattern file."),
        QStringLiteral("FILE")};
    QCommandLineOption threshold{
        QStringLiteral("threshold"),
        Text::tr("With --image: a pixel is lit when its lightness is at least "
                 "P percent, 0..100 (default 50)."),
        QStringLiteral("P")};
    QCommandLineOption invert{
        QStringLiteral("invert"),
        Text::tr("With --image: light the dark pixels instead (dark artwork on a "
                 "light background).")};
    QCommandLineOption frame{QStringLiteral("frame"),
                             Text::tr("Print the 102-character frame on standard output instead of "
                                      "sending it (a line end follows only on a terminal).")};
    QCommandLineOption save{
        QStringLiteral("save"),
        Text::tr("Write the picture and speed to a pattern file, as the editor's "
                 "Save does."),
        QStringLiteral("FILE")};
    QCommandLineOption show{
        QStringLiteral("show"),
        Text::tr("Print the picture as 8 lines of 50 characters, '#' lit and '.' "
                 "dark.")};
    QCommandLineOption png{
        QStringLiteral("png"),
        Text::tr("Write the picture as a PNG image of 50 x 8 pixels, white lit and "
                 "black dark."),
        QStringLiteral("FILE")};
    QCommandLineOption scale{QStringLiteral("scale"),
                             Text::tr("With --png: N x N pixels a dot, 1..100 (default 1)."),
                             QStringLiteral("N")};
    QCommandLineOption listPorts{QStringLiteral("list-ports"),
                                 Text::tr("List the ports 1..16: number, device, status (present, "
                                          "absent, no-uart, denied) and what is there.")};
    QCommandLineOption listFonts{QStringLiteral("list-fonts"),
                                 Text::tr("List the bundled fonts and the bitmap fonts of 8 rows "
                                          "or fewer under /usr/share/fonts, with their heights.")};
    QCommandLineOption listSigns{QStringLiteral("list-signs"),
                                 Text::tr("List the signs and groups of the signs file, each with "
                                          "its device and, for a serial device, its status.")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            Text::tr("Show this text.")};
    QCommandLineOption version{QStringLiteral("version"), Text::tr("Show the version.")};

    Parser() {
        parser.setApplicationDescription(Text::tr(
            "Sends a picture and a speed to the sign, exactly as the editor's \"Down Load\"\n"
            "does: 300 baud, 8 data bits, no parity, 2 stop bits, no flow control.\n"
            "Without --frame, --show, --save or --png the picture goes to the sign; with\n"
            "one or more of them it goes there too only when --port, --device or --sign is\n"
            "given. Several devices are sent to at once, each result on a line of its own."));
        parser.addOptions({text,  font,  align,     valign,    image,     threshold, invert,
                           speed, port,  device,    sign,      frame,     save,      show,
                           png,   scale, listPorts, listFonts, listSigns, help,      version});
        parser.addPositionalArgument(QStringLiteral("FILE"),
                                     Text::tr("The pattern file to send; - reads standard input."),
                                     QStringLiteral("FILE"));
    }
};

std::optional<int> numberIn(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

QString rangeError(const QString& name, int low, int high, const QString& text) {
    return Text::tr("--%1 must be a number from %2 to %3, not \"%4\"")
        .arg(name)
        .arg(low)
        .arg(high)
        .arg(text);
}

// A value in low..high read from the option's text with `read`; nothing when the option is not
// given.
template <typename Read, typename Value = std::invoke_result_t<Read, QString>>
Result<Value> rangeOption(const QCommandLineParser& parser, const QString& name, int low, int high,
                          Read read) {
    if (!parser.isSet(name))
        return Value();
    const QString text = parser.value(name);
    if (const auto value = read(text))
        return value;
    return Refusal::because(rangeError(name, low, high, text));
}

// A whole number in low..high from the option's value; nothing when the option is not given.
Result<std::optional<int>> numberOption(const QCommandLineParser& parser, const QString& name,
                                        int low, int high) {
    return rangeOption(parser, name, low, high,
                       [&](const QString& text) { return numberIn(text, low, high); });
}

#if !defined(Q_OS_WIN)
QString fileNumber(const struct stat& st) {
    return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
}
#endif

// The file a write to `name` lands in, for an existing file the file itself, so that its other
// names (hard links) count as the same. Empty for a name that no write will follow.
QString writtenFile(const QString& name) {
    const std::optional<QString> file = fileToBeWritten(name);
    if (!file)
        return QString();
#if !defined(Q_OS_WIN)
    struct stat st {};
    if (::stat(QFile::encodeName(*file).constData(), &st) == 0)
        return fileNumber(st);
#endif
    const QFileInfo info(*file);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

// The file standard output goes to, where it is one.
QString standardOutputFile() {
#if !defined(Q_OS_WIN)
    struct stat st {};
    if (::fstat(1, &st) == 0 && S_ISREG(st.st_mode))
        return fileNumber(st);
#endif
    return QString();
}

// Two outputs that write to one file would leave only the last of them; they are refused before
// anything is written.
Result<void> distinctOutputs(const SendOptions& options) {
    struct Output {
        QString option, name, file;
    };
    QList<Output> outputs;
    if (options.frameOnly || options.show)
        outputs.append({Text::tr("standard output"), QString(), standardOutputFile()});
    for (const auto& [option, name] : {std::pair{QStringLiteral("--save"), options.saveFile},
                                       {QStringLiteral("--png"), options.pngFile}})
        if (!name.isEmpty())
            outputs.append({option, name, writtenFile(name)});
    for (qsizetype i = 1; i < outputs.size(); ++i) {
        for (qsizetype j = 0; j < i; ++j) {
            if (!outputs[j].file.isEmpty() && outputs[j].file == outputs[i].file)
                return Refusal::because(
                    Text::tr("%1 and %2 both write to %3; give each output a file of its own")
                        .arg(outputs[j].option, outputs[i].option, outputs[i].name));
        }
    }
    return {};
}

} // namespace

Result<SendOptions> parseSendOptions(const QStringList& arguments) {
    Parser p;
    QCommandLineParser& parser = p.parser;
    if (!parser.parse(arguments))
        return Refusal::because(parser.errorText());
    SendOptions options;
    options.help = parser.isSet(p.help);
    options.version = parser.isSet(p.version);
    options.listPorts = parser.isSet(p.listPorts);
    options.listFonts = parser.isSet(p.listFonts);
    options.listSigns = parser.isSet(p.listSigns);
    if (options.help || options.version || options.listPorts || options.listFonts ||
        options.listSigns)
        return options;

    const Result<std::optional<Speed>> speed =
        rangeOption(parser, QStringLiteral("speed"), MinSpeed, MaxSpeed,
                    [](const QString& text) { return Speed::fromText(text); });
    if (!speed)
        return speed.refusal();
    options.speed = *speed;
    for (const QString& text : parser.values(p.port)) {
        const auto port = numberIn(text, PortTable::MinPort, PortTable::MaxPort);
        if (!port)
            return Refusal::because(
                rangeError(QStringLiteral("port"), PortTable::MinPort, PortTable::MaxPort, text));
        options.links << LinkTarget::ofPort(*port);
    }
    QStringList devices = parser.values(p.device);
    options.signs = parser.values(p.sign);
    const bool named = !options.links.isEmpty() || !devices.isEmpty() || !options.signs.isEmpty();
    if (!named)
        devices << qEnvironmentVariable("ORVANE_DEVICE");
    for (const QString& device : std::as_const(devices)) {
        if (device.isEmpty() && named)
            return Refusal::because(Text::tr("--device needs a device path"));
        const Result<LinkTarget> link = LinkTarget::parse(device);
        if (!link)
            return link.refusal();
        options.links << *link;
    }
    for (const QString& name : std::as_const(options.signs)) {
        if (!isSignName(name))
            return Refusal::because(Text::tr("--sign needs a sign's name, not \"%1\"").arg(name));
    }
    const auto threshold =
        numberOption(parser, QStringLiteral("threshold"), MinThreshold, MaxThreshold);
    if (!threshold)
        return threshold.refusal();
    const auto scale = numberOption(parser, QStringLiteral("scale"), 1, MaxImageScale);
    if (!scale)
        return scale.refusal();
    options.threshold = threshold->value_or(DefaultThreshold);
    options.invert = parser.isSet(p.invert);
    options.scale = scale->value_or(1);
    options.pngFile = parser.value(p.png);
    options.font = parser.value(p.font);
    const QString align = parser.value(p.align);
    if (align == QLatin1String("center") || align == QLatin1String("centre"))
        options.align = Align::Center;
    else if (align == QLatin1String("right"))
        options.align = Align::Right;
    else if (!align.isEmpty() && align != QLatin1String("left"))
        return Refusal::because(
            Text::tr("--align must be left, center or right, not \"%1\"").arg(align));
    const QString valign = parser.value(p.valign);
    if (valign == QLatin1String("top"))
        options.valign = VAlign::Top;
    else if (valign == QLatin1String("bottom"))
        options.valign = VAlign::Bottom;
    else if (!valign.isEmpty() && valign != QLatin1String("middle"))
        return Refusal::because(
            Text::tr("--valign must be top, middle or bottom, not \"%1\"").arg(valign));
    for (const auto& [option, needs] : {std::pair{&p.font, &p.text},
                                        {&p.align, &p.text},
                                        {&p.valign, &p.text},
                                        {&p.threshold, &p.image},
                                        {&p.invert, &p.image},
                                        {&p.scale, &p.png}}) {
        if (parser.isSet(*option) && !parser.isSet(*needs))
            return Refusal::because(
                Text::tr("--%1 goes with --%2")
                    .arg(option->names().constFirst(), needs->names().constFirst()));
    }
    for (const QCommandLineOption* named : {&p.save, &p.png, &p.font, &p.image}) {
        if (parser.isSet(*named) && parser.value(*named).isEmpty())
            return Refusal::because(
                Text::tr("--%1 needs a file name").arg(named->names().constFirst()));
    }
    options.frameOnly = parser.isSet(p.frame);
    options.show = parser.isSet(p.show);
    options.saveFile = parser.value(p.save);
    if (options.frameOnly && options.show) {
        return Refusal::because(
            Text::tr("--frame and --show both write to standard output; give one of them"));
    }
    if (const Result<void> distinct = distinctOutputs(options); !distinct)
        return distinct.refusal();
    const bool otherOutput =
        options.frameOnly || options.show || parser.isSet(p.save) || parser.isSet(p.png);
    options.send = !otherOutput || named;

    // One source: a pattern file, --text or --image.
    const QStringList files = parser.positionalArguments();
    const int sources = int(files.size()) + int(parser.isSet(p.text)) + int(parser.isSet(p.image));
    if (sources == 0)
        return Refusal::because(
            Text::tr("nothing to send: give a pattern file, --text or --image"));
    if (sources > 1)
        return Refusal::because(
            files.size() > 1 ? Text::tr("only one pattern file can be sent, got \"%1\" and \"%2\"")
                                   .arg(files[0], files[1])
                             : Text::tr("give one source: a pattern file, --text or --image"));
    if (parser.isSet(p.text)) {
        options.source = SendOptions::Source::Text;
        options.text = parser.value(p.text);
    } else if (parser.isSet(p.image)) {
        options.source = SendOptions::Source::Image;
        options.file = parser.value(p.image);
    } else {
        options.file = files[0];
    }
    return options;
}

QString sendHelpText() {
    Parser p;
    QString ports;
    for (const QString& line : PortTable::helpLines())
        ports += QStringLiteral("  ") + line + QLatin1Char('\n');
    // Qt's first line names the program by the path it was started with.
    const QString options = p.parser.helpText().section(QLatin1Char('\n'), 1);
    return Text::tr("Usage: orvane-send [OPTION]... FILE\n"
                    "       orvane-send --list-ports\n"
                    "       orvane-send --list-fonts\n"
                    "       orvane-send --list-signs\n\n") +
           options +
           Text::tr("\nPorts:\n%1"
                    "\n"
                    "Fonts (bundled):\n"
                    "  5x8       X11 misc-fixed 5x8, 8 rows: Latin, Greek, Cyrillic; public "
                    "domain\n"
                    "  galmuri7  Galmuri7 by Lee Minseo, 7 rows: its Hangul syllables and jamo "
                    "only;\n"
                    "            SIL Open Font License 1.1\n"
                    "\n"
                    "Signs file (%2):\n"
                    "  NAME = DEVICE           port N, socket://HOST:PORT, rfc2217://HOST:PORT\n"
                    "                          or an absolute device path\n"
                    "  NAME = NAME, NAME, ...  a group of signs and groups\n"
                    "  # a comment\n"
                    "\n"
                    "Environment:\n"
                    "  ORVANE_DEVICE  the device to send through when none of --port, --device\n"
                    "                 and --sign is given\n"
                    "  ORVANE_SIGNS   the signs file instead of the one above\n"
                    "\n"
                    "Exit codes:\n"
                    "  0  done: the picture was sent (to every device), printed or saved\n"
                    "  2  bad usage, or a sign's name that the signs file does not have\n"
                    "  3  the source (pattern file, font or image) or the signs file was refused\n"
                    "  4  a port could not be opened, or a write (port or output file) failed;\n"
                    "     with several devices: at least one did not receive the whole frame\n")
               .arg(ports, signsFilePath());
}

} // namespace orvane
