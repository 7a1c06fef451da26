#pragma once

// Which serial device each port number 1..16 opens, and what is there right now.
//
//   Linux    1..4  /dev/ttyS0 .. /dev/ttyS3      built-in serial ports
//            5..12 /dev/ttyUSB0 .. /dev/ttyUSB7  USB serial adapters
//           13..16 /dev/ttyACM0 .. /dev/ttyACM3  USB CDC devices
//   Windows  port n is COMn
//   macOS    port n is the n-th /dev/cu.usbserial* or /dev/cu.usbmodem* in name order
//
// Presence is found afresh on every call, so a device plugged in after start is seen. Tests move
// the device folder and the sysfs folder to a temporary folder, or map numbers to any device.

#include "seam.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace orvane {

enum class PortKind { BuiltIn, UsbAdapter, UsbCdc };

enum class PortPresence {
    Present, // the device is there and may be opened
    Absent,  // no such device: nothing is plugged in there
    NoUart,  // a built-in port whose system reports no serial hardware behind it
    Denied,  // the device is there, but this user may not open it
};

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

inline constexpr int MinPort = 1;
inline constexpr int MaxPort = 16;

// Maps a port number to the device it opens, replacing the table (tests).
using DeviceResolver = std::function<QString(int port)>;

// The table's device for port, under the device folder.
QString tableDevice(int port);
// The device port opens: through the resolver when one is set, else the table's.
QString device(int port);
PortKind kind(int port);

// Whether `device` is there and usable; `device` may be any path, not only the table's.
PortPresence presenceOf(const QString& device);
// The status word of a presence: "present", "absent", "no-uart", "denied".
QString presenceWord(PortPresence presence);
// The presence in words for a person: "present", "nothing plugged in", ...
QString presenceText(PortPresence presence);

// The name under /dev/serial/by-id of the USB device `device` is, the name that stays the same
// across reboots and plugging in elsewhere; empty when there is none.
QString stableName(const QString& device);
// When `device` is the kernel's console, the name /sys/class/tty/console/active gives it
// ("ttyS0"); empty otherwise. Compared by device number, not by name, so a device folder whose
// ttyS0 is another device is not taken for the console. Linux only.
QString consoleName(const QString& device);

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

// Stand-ins for tests, each for as long as it lives: the folders where devices and their sysfs
// entries are looked up (instead of "/dev" and "/sys/class/tty"), and the device of each port
// (instead of the table).
struct Folders {
    QString devices;
    QString sysfs;
};
struct ScopedFolders : Seam<Folders>::Override {
    explicit ScopedFolders(Folders folders);
};
struct ScopedDeviceResolver : Seam<DeviceResolver>::Override {
    explicit ScopedDeviceResolver(DeviceResolver resolver);
};

} // namespace PortTable

} // namespace orvane
