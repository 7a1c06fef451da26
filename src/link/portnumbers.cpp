#include "portnumbers.h"

#include <QDir>

namespace orvane {

namespace {

Seam<PortTable::Folders>& folders() {
    static Seam<PortTable::Folders> seam;
    return seam;
}

Seam<PortTable::DeviceResolver>& resolver() {
    static Seam<PortTable::DeviceResolver> seam;
    return seam;
}

bool inRange(int port) {
    return port >= PortTable::MinPort && port <= PortTable::MaxPort;
}

// The macOS devices that ports count, in name order: only the cu.* side, since opening the
// tty.* twin waits for a carrier.
[[maybe_unused]] QStringList usbCallOutDevices() {
    const QDir dir(PortTable::deviceFolder());
    const QStringList names =
        dir.entryList({QStringLiteral("cu.usbserial*"), QStringLiteral("cu.usbmodem*")},
                      QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    QStringList paths;
    for (const QString& name : names)
        paths << dir.filePath(name);
    return paths;
}

} // namespace

namespace PortTable {

QString deviceFolder() {
    const QString& folder = folders().get().devices;
    return folder.isEmpty() ? QStringLiteral("/dev") : folder;
}

QString sysfsFolder() {
    const QString& folder = folders().get().sysfs;
    return folder.isEmpty() ? QStringLiteral("/sys/class/tty") : folder;
}

QString tableDevice(int port) {
    if (!inRange(port))
        return {};
#if defined(Q_OS_WIN)
    return QStringLiteral("COM%1").arg(port);
#elif defined(Q_OS_MACOS)
    const QStringList devices = usbCallOutDevices();
    return port <= devices.size() ? devices.at(port - 1) : QString();
#else
    const QDir dir(deviceFolder());
    if (port <= 4)
        return dir.filePath(QStringLiteral("ttyS%1").arg(port - 1));
    if (port <= 12)
        return dir.filePath(QStringLiteral("ttyUSB%1").arg(port - 5));
    return dir.filePath(QStringLiteral("ttyACM%1").arg(port - 13));
#endif
}

QString device(int port) {
    return resolver().get() ? resolver().get()(port) : tableDevice(port);
}

PortKind kind(int port) {
#if defined(Q_OS_WIN)
    Q_UNUSED(port);
    return PortKind::BuiltIn;
#elif defined(Q_OS_MACOS)
    Q_UNUSED(port);
    return PortKind::UsbAdapter;
#else
    if (port >= 13)
        return PortKind::UsbCdc;
    if (port >= 5)
        return PortKind::UsbAdapter;
    return PortKind::BuiltIn;
#endif
}

ScopedFolders::ScopedFolders(Folders f) : Override(folders(), std::move(f)) {}

ScopedDeviceResolver::ScopedDeviceResolver(DeviceResolver r) : Override(resolver(), std::move(r)) {}

} // namespace PortTable

} // namespace orvane
