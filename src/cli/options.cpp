#include "options.h"

#include "dotpattern.h"
#include "imageexport.h"
#include "networkline.h"
#include "porttable.h"
#include "serialport.h"

#include <QCommandLineParser>
#include <QCoreApplication>

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
                 "names, else port 1; see the port table below)."),
        QStringLiteral("N")};
    QCommandLineOption device{QStringLiteral("device"),
                              Text::tr("Send through this serial device instead, e.g. "
                                       "/dev/ttyUSB0 or a /dev/serial/by-id/ name, or to a "
                                       "sign behind a network serial server: "
                                       "socket://HOST:PORT or rfc2217://HOST:PORT."),
                              QStringLiteral("PATH")};
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
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            Text::tr("Show this text.")};
    QCommandLineOption version{QStringLiteral("version"), Text::tr("Show the version.")};

    Parser() {
        parser.setApplicationDescription(Text::tr(
            "Sends a picture and a speed to the sign, exactly as the editor's \"Down Load\"\n"
            "does: 300 baud, 8 data bits, no parity, 2 stop bits, no flow control.\n"
            "Without --frame, --show, --save or --png the picture goes to the sign; with\n"
            "any of them it goes there too only when --port or --device is given."));
        parser.addOptions({text, font, align, valign, image, threshold, invert, speed, port, device,
                           frame, save, show, png, scale, listPorts, listFonts, help, version});
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

// Reads a value in low..high from the option's text with `read`, or says what is wrong.
template <typename T, typename Read>
bool rangeOption(const QCommandLineParser& parser, const QString& name, int low, int high,
                 std::optional<T>* value, QString* error, Read read) {
    if (!parser.isSet(name))
        return true;
    const QString text = parser.value(name);
    *value = read(text);
    if (!*value)
        *error = Text::tr("--%1 must be a number from %2 to %3, not \"%4\"")
                     .arg(name)
                     .arg(low)
                     .arg(high)
                     .arg(text);
    return value->has_value();
}

// Reads a whole number in low..high from the option's value, or says what is wrong.
bool numberOption(const QCommandLineParser& parser, const QString& name, int low, int high,
                  std::optional<int>* value, QString* error) {
    return rangeOption(parser, name, low, high, value, error,
                       [&](const QString& text) { return numberIn(text, low, high); });
}

} // namespace

std::optional<SendOptions> parseSendOptions(const QStringList& arguments, QString* error) {
    error->clear();
    Parser p;
    QCommandLineParser& parser = p.parser;
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    SendOptions options;
    options.help = parser.isSet(p.help);
    options.version = parser.isSet(p.version);
    options.listPorts = parser.isSet(p.listPorts);
    options.listFonts = parser.isSet(p.listFonts);
    if (options.help || options.version || options.listPorts || options.listFonts)
        return options;

    std::optional<int> port;
    if (!numberOption(parser, QStringLiteral("port"), SerialPort::MinPort, SerialPort::MaxPort,
                      &port, error) ||
        !rangeOption(parser, QStringLiteral("speed"), MinSpeed, MaxSpeed, &options.speed, error,
                     [](const QString& text) { return Speed::fromText(text); }))
        return std::nullopt;
    options.port = port.value_or(SerialPort::MinPort);
    options.device = parser.value(p.device);
    if (!port && !parser.isSet(p.device))
        options.device = qEnvironmentVariable("ORVANE_DEVICE");
    if (parser.isSet(p.device) && options.device.isEmpty()) {
        *error = Text::tr("--device needs a device path");
        return std::nullopt;
    }
    if (isNetworkName(options.device) && !parseNetworkAddress(options.device, error))
        return std::nullopt;
    if (port && parser.isSet(p.device)) {
        *error = Text::tr("give either --port or --device, not both");
        return std::nullopt;
    }
    std::optional<int> threshold, scale;
    if (!numberOption(parser, QStringLiteral("threshold"), MinThreshold, MaxThreshold, &threshold,
                      error) ||
        !numberOption(parser, QStringLiteral("scale"), 1, MaxImageScale, &scale, error))
        return std::nullopt;
    options.threshold = threshold.value_or(DefaultThreshold);
    options.invert = parser.isSet(p.invert);
    options.scale = scale.value_or(1);
    options.pngFile = parser.value(p.png);
    options.font = parser.value(p.font);
    const QString align = parser.value(p.align);
    if (align == QLatin1String("center") || align == QLatin1String("centre"))
        options.align = Align::Center;
    else if (align == QLatin1String("right"))
        options.align = Align::Right;
    else if (!align.isEmpty() && align != QLatin1String("left")) {
        *error = Text::tr("--align must be left, center or right, not \"%1\"").arg(align);
        return std::nullopt;
    }
    const QString valign = parser.value(p.valign);
    if (valign == QLatin1String("top"))
        options.valign = VAlign::Top;
    else if (valign == QLatin1String("bottom"))
        options.valign = VAlign::Bottom;
    else if (!valign.isEmpty() && valign != QLatin1String("middle")) {
        *error = Text::tr("--valign must be top, middle or bottom, not \"%1\"").arg(valign);
        return std::nullopt;
    }
    for (const auto& [option, needs] : {std::pair{&p.font, &p.text},
                                        {&p.align, &p.text},
                                        {&p.valign, &p.text},
                                        {&p.threshold, &p.image},
                                        {&p.invert, &p.image},
                                        {&p.scale, &p.png}}) {
        if (parser.isSet(*option) && !parser.isSet(*needs)) {
            *error = Text::tr("--%1 goes with --%2")
                         .arg(option->names().constFirst(), needs->names().constFirst());
            return std::nullopt;
        }
    }
    for (const QCommandLineOption* named : {&p.save, &p.png, &p.font, &p.image}) {
        if (parser.isSet(*named) && parser.value(*named).isEmpty()) {
            *error = Text::tr("--%1 needs a file name").arg(named->names().constFirst());
            return std::nullopt;
        }
    }
    options.frameOnly = parser.isSet(p.frame);
    options.show = parser.isSet(p.show);
    options.saveFile = parser.value(p.save);
    if (options.frameOnly && options.show) {
        *error = Text::tr("--frame and --show both write to standard output; give one of them");
        return std::nullopt;
    }
    const bool otherOutput =
        options.frameOnly || options.show || parser.isSet(p.save) || parser.isSet(p.png);
    options.send = !otherOutput || port || parser.isSet(p.device);

    // One source: a pattern file, --text or --image.
    const QStringList files = parser.positionalArguments();
    const int sources = int(files.size()) + int(parser.isSet(p.text)) + int(parser.isSet(p.image));
    if (sources == 0) {
        *error = Text::tr("nothing to send: give a pattern file, --text or --image");
        return std::nullopt;
    }
    if (sources > 1) {
        *error = files.size() > 1
                     ? Text::tr("only one pattern file can be sent, got \"%1\" and \"%2\"")
                           .arg(files[0], files[1])
                     : Text::tr("give one source: a pattern file, --text or --image");
        return std::nullopt;
    }
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
                    "       orvane-send --list-fonts\n\n") +
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
                    "Environment:\n"
                    "  ORVANE_DEVICE  the device to send through when neither --port nor --device\n"
                    "                 is given\n"
                    "\n"
                    "Exit codes:\n"
                    "  0  done: the picture was sent, printed or saved\n"
                    "  2  bad usage\n"
                    "  3  the source (pattern file, font or image) was refused\n"
                    "  4  the port could not be opened, or a write (port or output file) failed\n")
               .arg(ports);
}

} // namespace orvane
