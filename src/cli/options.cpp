#include "options.h"

#include "dotpattern.h"
#include "porttable.h"
#include "serialport.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace orvane {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("orvane-send", text);
}

// The parser with every option, shared by parsing and the help text.
struct Parser {
    QCommandLineParser parser;
    QCommandLineOption port{QStringLiteral("port"),
                            tr("Send through serial port N, 1..16 (default 1; see the port table "
                               "below)."),
                            QStringLiteral("N")};
    QCommandLineOption device{QStringLiteral("device"),
                              tr("Send through this serial device instead."),
                              QStringLiteral("PATH")};
    QCommandLineOption speed{QStringLiteral("speed"),
                             tr("Send speed S, 1..9, instead of the source's (a pattern file's "
                                "own speed, 5 otherwise)."),
                             QStringLiteral("S")};
    QCommandLineOption frame{QStringLiteral("frame"),
                             tr("Print the 102-character frame on standard output instead of "
                                "sending it (a line end follows only on a terminal).")};
    QCommandLineOption save{QStringLiteral("save"),
                            tr("Write the picture and speed to a pattern file, as the editor's "
                               "Save does."),
                            QStringLiteral("FILE")};
    QCommandLineOption show{QStringLiteral("show"),
                            tr("Print the picture as 8 lines of 50 characters, '#' lit and '.' "
                               "dark.")};
    QCommandLineOption listPorts{QStringLiteral("list-ports"),
                                 tr("List the ports 1..16: number, device, status (present, "
                                    "absent, no-uart, denied) and what is there.")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, tr("Show this text.")};
    QCommandLineOption version{QStringLiteral("version"), tr("Show the version.")};

    Parser() {
        parser.setApplicationDescription(
            tr("Sends a picture and a speed to the sign, exactly as the editor's \"Down Load\"\n"
               "does: 300 baud, 8 data bits, no parity, 2 stop bits, no flow control.\n"
               "Without --frame, --save or --show the picture goes to the sign; with one of\n"
               "them it goes there too only when --port or --device is given."));
        parser.addOptions({port, device, speed, frame, save, show, listPorts, help, version});
        parser.addPositionalArgument(QStringLiteral("FILE"),
                                     tr("The pattern file to send; - reads standard input."),
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

// Reads a whole number in low..high from the option's value, or says what is wrong.
bool numberOption(const QCommandLineParser& parser, const QString& name, int low, int high,
                  std::optional<int>* value, QString* error) {
    if (!parser.isSet(name))
        return true;
    const QString text = parser.value(name);
    *value = numberIn(text, low, high);
    if (!*value)
        *error = tr("--%1 must be a number from %2 to %3, not \"%4\"")
                     .arg(name)
                     .arg(low)
                     .arg(high)
                     .arg(text);
    return value->has_value();
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
    if (options.help || options.version || options.listPorts)
        return options;

    std::optional<int> port;
    if (!numberOption(parser, QStringLiteral("port"), SerialPort::MinPort, SerialPort::MaxPort,
                      &port, error) ||
        !numberOption(parser, QStringLiteral("speed"), MinSpeed, MaxSpeed, &options.speed, error))
        return std::nullopt;
    options.port = port.value_or(SerialPort::MinPort);
    options.device = parser.value(p.device);
    if (parser.isSet(p.device) && options.device.isEmpty()) {
        *error = tr("--device needs a device path");
        return std::nullopt;
    }
    if (port && parser.isSet(p.device)) {
        *error = tr("give either --port or --device, not both");
        return std::nullopt;
    }
    options.frameOnly = parser.isSet(p.frame);
    options.show = parser.isSet(p.show);
    options.saveFile = parser.value(p.save);
    if (parser.isSet(p.save) && options.saveFile.isEmpty()) {
        *error = tr("--save needs a file name");
        return std::nullopt;
    }
    if (options.frameOnly && options.show) {
        *error = tr("--frame and --show both write to standard output; give one of them");
        return std::nullopt;
    }
    const bool otherOutput = options.frameOnly || options.show || parser.isSet(p.save);
    options.send = !otherOutput || port || parser.isSet(p.device);

    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        *error = tr("no pattern file given");
        return std::nullopt;
    }
    if (files.size() > 1) {
        *error =
            tr("only one pattern file can be sent, got \"%1\" and \"%2\"").arg(files[0], files[1]);
        return std::nullopt;
    }
    options.file = files[0];
    return options;
}

QString sendHelpText() {
    Parser p;
    QString ports;
    for (const QString& line : PortTable::helpLines())
        ports += QStringLiteral("  ") + line + QLatin1Char('\n');
    // Qt's first line names the program by the path it was started with.
    const QString options = p.parser.helpText().section(QLatin1Char('\n'), 1);
    return tr("Usage: orvane-send [OPTION]... FILE\n"
              "       orvane-send --list-ports\n\n") +
           options +
           tr("\nPorts:\n%1"
              "\n"
              "Exit codes:\n"
              "  0  done: the picture was sent, printed or saved\n"
              "  2  bad usage\n"
              "  3  the source (pattern file) was refused\n"
              "  4  the port could not be opened, or a write (port or output file) failed\n")
               .arg(ports);
}

} // namespace orvane
