#pragma once

// Command line of orvane-send.

#include <QString>
#include <QStringList>
#include <optional>

namespace orvane {

struct SendOptions {
    QString file;
    int port = 1;             // 1..16, used when device is empty
    QString device;           // an explicit device path instead of a port number
    std::optional<int> speed; // overrides the file's speed
    bool frameOnly = false;   // print the frame instead of sending it
    bool help = false;
    bool version = false;
};

// Exit codes, documented in the help text and the README.
enum ExitCode {
    ExitSent = 0,
    ExitUsage = 2,
    ExitFileRefused = 3,
    ExitPortFailed = 4,
};

// Parses the arguments after the program name. On a usage error returns nothing and sets *error.
std::optional<SendOptions> parseSendOptions(const QStringList& arguments, QString* error);

QString sendHelpText();

} // namespace orvane
