#include "options.h"

#include "dotpattern.h"
#include "serialport.h"

namespace orvane {

namespace {

std::optional<int> numberIn(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<SendOptions> parseSendOptions(const QStringList& arguments, QString* error) {
    error->clear();
    SendOptions options;
    bool portGiven = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        // Options that take a value accept "--name value" and "--name=value".
        auto value = [&](const QString& name) -> std::optional<QString> {
            if (arg.startsWith(name + QLatin1Char('=')))
                return arg.mid(name.size() + 1);
            if (arg != name)
                return std::nullopt;
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("%1 needs a value").arg(name);
                return QString();
            }
            return arguments[++i];
        };

        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--version")) {
            options.version = true;
        } else if (arg == QLatin1String("--frame")) {
            options.frameOnly = true;
        } else if (auto port = value(QStringLiteral("--port"))) {
            if (!error->isEmpty())
                return std::nullopt;
            const auto n = numberIn(*port, SerialPort::MinPort, SerialPort::MaxPort);
            if (!n) {
                *error = QStringLiteral("the port must be a number from %1 to %2, not \"%3\"")
                             .arg(SerialPort::MinPort)
                             .arg(SerialPort::MaxPort)
                             .arg(*port);
                return std::nullopt;
            }
            options.port = *n;
            portGiven = true;
        } else if (auto device = value(QStringLiteral("--device"))) {
            if (!error->isEmpty())
                return std::nullopt;
            if (device->isEmpty()) {
                *error = QStringLiteral("--device needs a device path");
                return std::nullopt;
            }
            options.device = *device;
        } else if (auto speed = value(QStringLiteral("--speed"))) {
            if (!error->isEmpty())
                return std::nullopt;
            options.speed = numberIn(*speed, MinSpeed, MaxSpeed);
            if (!options.speed) {
                *error = QStringLiteral("the speed must be a number from %1 to %2, not \"%3\"")
                             .arg(MinSpeed)
                             .arg(MaxSpeed)
                             .arg(*speed);
                return std::nullopt;
            }
        } else if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            *error = QStringLiteral("unknown option \"%1\"").arg(arg);
            return std::nullopt;
        } else if (options.file.isEmpty()) {
            options.file = arg;
        } else {
            *error = QStringLiteral("only one pattern file can be sent, got \"%1\" and \"%2\"")
                         .arg(options.file, arg);
            return std::nullopt;
        }
    }
    if (options.help || options.version)
        return options;
    if (options.file.isEmpty()) {
        *error = QStringLiteral("no pattern file given");
        return std::nullopt;
    }
    if (portGiven && !options.device.isEmpty()) {
        *error = QStringLiteral("give either --port or --device, not both");
        return std::nullopt;
    }
    return options;
}

QString sendHelpText() {
    const QString mapping = QStringLiteral("port 1 is %1 .. port %2 is %3")
                                .arg(SerialPort::defaultDevice(SerialPort::MinPort))
                                .arg(SerialPort::MaxPort)
                                .arg(SerialPort::defaultDevice(SerialPort::MaxPort));
    return QStringLiteral(
               "Usage: orvane-send FILE [--port N | --device PATH] [--speed S]\n"
               "       orvane-send FILE --frame [--speed S]\n"
               "\n"
               "Sends the picture and speed of a pattern file to the sign, exactly as the\n"
               "editor's \"Down Load\" does: 300 baud, 8 data bits, no parity, 2 stop bits,\n"
               "no flow control. FILE - reads the pattern from standard input.\n"
               "\n"
               "  --port N       serial port 1..16 (default 1);\n"
               "                 %1\n"
               "  --device PATH  send through this serial device instead\n"
               "  --speed S      send speed S (1..9) instead of the file's speed\n"
               "  --frame        print the 102-character frame on standard output and open no\n"
               "                 port (a line end follows only on a terminal)\n"
               "  --help         show this text\n"
               "  --version      show the version\n"
               "\n"
               "Exit codes:\n"
               "  0  the frame was sent (or printed)\n"
               "  2  bad usage\n"
               "  3  the pattern file was refused\n"
               "  4  the port could not be opened, or a write failed\n")
        .arg(mapping);
}

} // namespace orvane
