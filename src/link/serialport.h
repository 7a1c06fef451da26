#pragma once

// The serial line to the sign, over QSerialPort. Like the component it stands in for, it offers
// CommPort (which port the next open uses), PortOpen, Output and OutBufferCount, and it never
// reads. Nothing here waits: Output hands characters to QSerialPort, whose bytesWritten() says
// when the driver took them, and OutBufferCount says how many of those have not gone out on the
// line yet. Opening puts the line settings of linesettings.h in force and makes this the device's
// only sender (devicelock.h). Failures do not throw: the operation is refused, the refusal naming
// the port by description() and giving the reason.

#include "devicelock.h"
#include "linktarget.h"
#include "porttable.h"

#include <QByteArrayView>
#include <QSerialPort>
#include <QString>

namespace orvane {

class SerialPort {
public:
    static constexpr int MinPort = PortTable::MinPort;
    static constexpr int MaxPort = PortTable::MaxPort;

    SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    ~SerialPort();

    // Selects the port that the next open uses.
    void setCommPort(int port) { commPort_ = port; }
    int CommPort() const { return commPort_; }

    // Opens this device instead of the one CommPort names (a tool given an explicit path); empty
    // goes back to CommPort. A relative path is kept as the absolute path it is now.
    void setDevice(const QString& path);
    // Selects the port or device `target` names; not a network link.
    void setTarget(const LinkTarget& target);
    const QString& explicitDevice() const { return explicitDevice_; }
    // The device the next open uses.
    QString device() const;
    // Names the port for messages: "port 3 (/dev/ttyS2)", or just the device when explicit.
    QString description() const;

    // True opens the device with the line settings. When the device cannot be used, the refusal
    // says why in plain words (portproblem.h); a built-in port with no serial hardware behind it
    // is not opened at all, nor is a numbered port whose device is the kernel's console (an
    // explicit device may be). False closes at once: whatever has not gone out yet is dropped,
    // since a line that takes no data would otherwise hold the close for up to 30 s.
    Result<void> setPortOpen(bool open);
    // As setPortOpen(false), which cannot fail.
    void close();
    bool PortOpen() const { return port_.isOpen(); }

    // Hands text to QSerialPort and returns at once; bytesWritten() on port() follows once the
    // driver has taken it.
    Result<void> setOutput(QByteArrayView text);

    // Characters the driver has taken that have not gone out on the line yet: its output queue
    // (TIOCOUTQ; on Windows ClearCommError's cbOutQue), and one more while the transmitter is
    // still sending where the driver tells (TIOCSERGETLSR). Refused when the driver cannot say.
    Result<qint64> OutBufferCount() const;

    // For the signals: bytesWritten() and errorOccurred().
    QSerialPort& port() { return port_; }

private:
    Result<void> open();
    Refusal fail(const QString& reason) const;
    QString portError() const;

    QSerialPort port_;
    DeviceLock lock_;
    int commPort_ = MinPort;
    QString explicitDevice_;
};

} // namespace orvane
