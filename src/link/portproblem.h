#pragma once

// Why a serial port could not be opened, in plain words: nothing is plugged in there, no serial
// hardware is behind a built-in port, this user may not open it, or another program has it.

#include "porttable.h"

#include <QSerialPort>
#include <QString>

namespace orvane {

// The reason for a failed open of `device`, given its presence and the serial port's error and
// the system's words for it. A device that was never opened (no UART) has NoError.
QString openFailureReason(const QString& device, PortPresence presence,
                          QSerialPort::SerialPortError error, const QString& systemReason);

// Why a numbered port whose device is the kernel's console (`name` in sysfs) is not opened, and
// how to free it or name the device explicitly.
QString consoleReason(const QString& device, const QString& name);
// Another process sends to the same device, under this or another name (devicelock.h).
QString anotherSenderReason();
// Another program holds the device (its own lock on it, or the system's exclusive mode).
QString anotherProgramReason(const QString& systemReason = {});

// "Present now: port 6 (/dev/ttyUSB1)." or a sentence saying that no port has a device.
QString presentNowSentence();

} // namespace orvane
