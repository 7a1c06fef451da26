#pragma once

// Which serial device each port number 1..16 opens:
//
//   Linux    1..4  /dev/ttyS0 .. /dev/ttyS3      built-in serial ports
//            5..12 /dev/ttyUSB0 .. /dev/ttyUSB7  USB serial adapters
//           13..16 /dev/ttyACM0 .. /dev/ttyACM3  USB CDC devices
//   Windows  port n is COMn
//   macOS    port n is the n-th /dev/cu.usbserial* or /dev/cu.usbmodem* in name order
//
// Tests move the device folder and the sysfs folder to a temporary folder, or map numbers to any
// device.

#include "seam.h"

#include <QString>
#include <functional>

namespace orvane {

enum class PortKind { BuiltIn, UsbAdapter, UsbCdc };

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

// Where devices and their sysfs entries are looked up: "/dev" and "/sys/class/tty", or the
// folders a test put in their place.
QString deviceFolder();
QString sysfsFolder();

// Stand-ins for tests, each for as long as it lives: the folders where devices and their sysfs
// entries are looked up, and the device of each port (instead of the table).
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
