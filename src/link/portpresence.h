#pragma once

// Whether something is there behind a serial device, and what: found afresh on every call, so a
// device plugged in after start is seen. What the system knows of a USB device (its maker and
// model) comes from QSerialPortInfo.

#include <QString>

namespace orvane {

enum class PortPresence {
    Present, // the device is there and may be opened
    Absent,  // no such device: nothing is plugged in there
    NoUart,  // a built-in port whose system reports no serial hardware behind it
    Denied,  // the device is there, but this user may not open it
};

namespace PortTable {

// Whether `device` is there and usable; `device` may be any path, not only the table's.
PortPresence presenceOf(const QString& device);

// The name under /dev/serial/by-id of the USB device `device` is, the name that stays the same
// across reboots and plugging in elsewhere; empty when there is none.
QString stableName(const QString& device);
// When `device` is the kernel's console, the name /sys/class/tty/console/active gives it
// ("ttyS0"); empty otherwise. Compared by device number, not by name, so a device folder whose
// ttyS0 is another device is not taken for the console. Linux only.
QString consoleName(const QString& device);

// What the system says of the device: "FT232R USB UART (FTDI)", its model and maker; empty when
// it says nothing.
QString makerAndModel(const QString& device);

} // namespace PortTable

} // namespace orvane
