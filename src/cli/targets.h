#pragma once

// Where orvane-send sends: the ports and devices of the command line and the signs it names,
// each device once, whatever name it is given, and the signs file listed.

#include "options.h"
#include "signsfile.h"

#include <QList>
#include <QStringList>
#include <optional>

namespace orvane {

struct Target {
    QString name; // the sign's name, empty for --port and --device
    LinkTarget link;

    // The sign's name, or the link as messages name it: "port 6 (/dev/ttyUSB1)".
    QString label() const;
};

// The devices `options` name, in the order --port, --device, --sign, each once: two names of one
// device (a link and its device, a port number and its device, one sign in two groups) are
// sent to once, and two signs that are one device are named in the warnings. A --sign is looked
// up in `signsFile`; a name it does not have is refused.
Result<QList<Target>> sendTargets(const SendOptions& options, const SignList& signsFile);

// What makes two names one device: the device number of a serial device, the resolved path of
// another file, the address of a network link.
QString deviceIdentity(const LinkTarget& link);

// One line a sign or group, in the file's order: its name, its device and, for a serial device,
// its status word ("present", "absent", ...), or the group's names.
QStringList signListing(const SignList& list);

} // namespace orvane
