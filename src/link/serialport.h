#pragma once

// The serial line to the sign, over QSerialPort. Like the component it stands in for, it offers
// CommPort (which port the next open uses), PortOpen and Output, and it never reads. Opening puts
// the line settings of linesettings.h in force; closing first drains the output, so every
// character handed over has reached the line when the port reports closed. Failures do not throw:
// the operation returns false and errorString() gives the system's reason.

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

    // Opens this device instead of the one CommPort names (a tool given an explicit path);
    // empty goes back to CommPort.
    void setDevice(const QString& path) { explicitDevice_ = path; }
    const QString& explicitDevice() const { return explicitDevice_; }
    // The device the next open uses.
    QString device() const;
    // Names the port for messages: "port 3 (/dev/ttyS2)", or just the device when explicit.
    QString description() const;

    // True opens the device with the line settings; False drains the output and closes. When
    // the device cannot be used, errorString() says why in plain words (portproblem.h); a
    // built-in port with no serial hardware behind it is not opened at all, nor is a numbered port
    // whose device is the kernel's console (an explicit device may be).
    bool setPortOpen(bool open);
    bool PortOpen() const { return port_.isOpen(); }

    // Hands text to the line in one write, after everything handed over before it. Returns once
    // the system has taken it.
    bool setOutput(QByteArrayView text);

    // Why the last failing operation failed.
    QString errorString() const { return error_; }

private:
    bool open();
    bool drainAndClose();
    bool fail(const QString& reason);
    QString portError() const;
    QString writeWaitError() const;

    QSerialPort port_;
    int commPort_ = MinPort;
    QString explicitDevice_;
    QString error_;
};

} // namespace orvane
