#pragma once

// A made-up device folder and sysfs folder in a temporary folder, in force for the port table
// while the object lives: <dev>/ttyUSB1 may link to a real pseudo-terminal, <sys>/ttyS1/type
// says whether a UART is behind a built-in port, <sys>/console/active names the console's ttys.

#include "porttable.h"

#include <QTemporaryDir>

namespace orvane::testing {

class PortFolders {
public:
    QString device(const QString& name) const { return dir_.filePath("dev/" + name); }
    // Makes device(name) a link to target; `name` may be in a subfolder ("serial/by-id/...").
    bool link(const QString& name, const QString& target);
    // Writes the file `path` under the sysfs folder ("console/active", "ttyS0/type").
    bool writeSysfs(const QString& path, const QByteArray& text);
    // Gives the tty `name` in sysfs the device number of `device`.
    bool setDeviceNumber(const QString& name, const QString& device);

private:
    QTemporaryDir dir_;
    PortTable::ScopedFolders folders_{{dir_.filePath("dev"), dir_.filePath("sys")}};
};

} // namespace orvane::testing
