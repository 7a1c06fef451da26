#pragma once

// The ports in words for the user: the status words scripts read, the tooltip of the window's
// port controls, orvane-send's port listing and help, and the ports present for messages.

#include "portnumbers.h"
#include "portpresence.h"

#include <QString>
#include <QStringList>

namespace orvane {

struct PortStatus {
    int port = 0;
    QString device; // empty for a macOS number with no device behind it
    PortKind kind = PortKind::BuiltIn;
    PortPresence presence = PortPresence::Absent;
    QString description;  // maker and model of a USB device when known, else what the kind is
    QString stableName;   // the device's /dev/serial/by-id name, or empty
    bool console = false; // the device is the kernel's console: a numbered port refuses it
};

namespace PortTable {

// The status word of a presence: "present", "absent", "no-uart", "denied".
QString presenceWord(PortPresence presence);
// The presence in words for a person: "present", "nothing plugged in", ...
QString presenceText(PortPresence presence);

// Port, device, presence and description of one port, found now.
PortStatus status(int port);

// "Port 6: /dev/ttyUSB1, FT232R USB UART (FTDI), present": the port's tooltip.
QString toolTip(int port);

// One line per port 1..16: number, device, status word ("console" for the kernel's console)
// and description, in columns; under a USB device a second line with its stable name.
QStringList listing();

// The table in a few lines, for help texts.
QStringList helpLines();

// The ports where a serial device is there now, for messages: "port 6 (/dev/ttyUSB1)", ...
// A device this user may not open is named too, with that said.
QStringList presentNow();

} // namespace PortTable

} // namespace orvane
