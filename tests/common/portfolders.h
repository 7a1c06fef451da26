#pragma once

// A made-up device folder and sysfs folder in a temporary folder, in force for the port table
// for as long as the object lives: <dev>/ttyUSB1 can be a link to a real pseudo-terminal,
// <dev>/serial/by-id/... a link to that, <sys>/ttyS1/type can say whether a UART is behind a
// built-in port, and <sys>/console/active which ttys are the kernel's console.

#include "porttable.h"
#include <QString>

#include <QTemporaryDir>

namespace orvane::testing {

class PortFolders {
public:
    PortFolders();
    PortFolders(const PortFolders&) = delete;
    PortFolders& operator=(const PortFolders&) = delete;

    bool isValid() const { return dir_.isValid(); }
    // The path of `name` in the device folder.
    QString device(const QString& name) const;
    // Makes device(name) a link to target (any path, also one that does not exist); `name` may
    // be in a subfolder ("serial/by-id/usb-...").
    bool link(const QString& name, const QString& target);
    // Writes the sysfs type of the tty `name`: 0 when no UART is there, 4 for a 16550A.
    bool setUartType(const QString& name, int type);
    // Writes the file `path` under the sysfs folder ("console/active", "ttyS0/dev").
    bool writeSysfs(const QString& path, const QByteArray& text);
    // Gives the tty `name` in sysfs the device number of `device`, as "major:minor".
    bool setDeviceNumber(const QString& name, const QString& device);

private:
    QTemporaryDir dir_;
    PortTable::ScopedFolders folders_{
        {dir_.filePath(QStringLiteral("dev")), dir_.filePath(QStringLiteral("sys"))}};
};

} // namespace orvane::testing
