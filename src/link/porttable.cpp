#include "porttable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

#if !defined(Q_OS_WIN)
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif
#if defined(Q_OS_LINUX)
#include <sys/sysmacros.h>
#endif

namespace orvane {

namespace {

class Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::PortTable)
};

Seam<PortTable::Folders>& folders() {
    static Seam<PortTable::Folders> seam;
    return seam;
}

Seam<PortTable::DeviceResolver>& resolver() {
    static Seam<PortTable::DeviceResolver> seam;
    return seam;
}

QString deviceFolder() {
    const QString& folder = folders().get().devices;
    return folder.isEmpty() ? QStringLiteral("/dev") : folder;
}

[[maybe_unused]] QString sysfsFolder() {
    const QString& folder = folders().get().sysfs;
    return folder.isEmpty() ? QStringLiteral("/sys/class/tty") : folder;
}

bool inRange(int port) {
    return port >= PortTable::MinPort && port <= PortTable::MaxPort;
}

// The macOS devices that ports count, in name order: only the cu.* side, since opening the
// tty.* twin waits for a carrier.
[[maybe_unused]] QStringList usbCallOutDevices() {
    const QDir dir(deviceFolder());
    const QStringList names =
        dir.entryList({QStringLiteral("cu.usbserial*"), QStringLiteral("cu.usbmodem*")},
                      QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    QStringList paths;
    for (const QString& name : names)
        paths << dir.filePath(name);
    return paths;
}

// What the system says of the device (USB maker and model), or empty.
QString makerAndModel(const QString& device) {
    const QString canonical = QFileInfo(device).canonicalFilePath();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString location = info.systemLocation();
        if (location.compare(device, Qt::CaseInsensitive) != 0 &&
            (canonical.isEmpty() || QFileInfo(location).canonicalFilePath() != canonical))
            continue;
        const QString model = info.description().trimmed();
        const QString maker = info.manufacturer().trimmed();
        if (maker.isEmpty() || model.contains(maker, Qt::CaseInsensitive))
            return model;
        if (model.isEmpty())
            return maker;
        return QStringLiteral("%1 (%2)").arg(model, maker);
    }
    return {};
}

QString kindText(PortKind kind) {
#if defined(Q_OS_WIN)
    Q_UNUSED(kind);
    return Text::tr("serial port");
#else
    switch (kind) {
    case PortKind::BuiltIn:
        return Text::tr("built-in serial port");
    case PortKind::UsbAdapter:
        return Text::tr("USB serial adapter");
    case PortKind::UsbCdc:
        return Text::tr("USB CDC device");
    }
    return {};
#endif
}

#if !defined(Q_OS_WIN)
// The sysfs "type" of the tty behind `device` is 0 when no UART answers at its address. Looked
// up under the name in the device folder and under the name a link points to.
bool hasNoUart(const QFileInfo& device) {
    QStringList names{device.fileName()};
    const QString target = QFileInfo(device.canonicalFilePath()).fileName();
    if (!target.isEmpty() && target != names.first())
        names << target;
    for (const QString& name : names) {
        QFile type(QDir(sysfsFolder()).filePath(name + QStringLiteral("/type")));
        if (type.open(QIODevice::ReadOnly))
            return type.read(16).trimmed() == "0";
    }
    return false;
}
#endif

} // namespace

namespace PortTable {

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

PortPresence presenceOf(const QString& device) {
    if (device.isEmpty())
        return PortPresence::Absent;
#if defined(Q_OS_WIN)
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        if (info.portName().compare(device, Qt::CaseInsensitive) == 0)
            return PortPresence::Present;
    return PortPresence::Absent;
#else
    const QFileInfo info(device);
    if (!info.exists())
        return PortPresence::Absent;
    if (hasNoUart(info))
        return PortPresence::NoUart;
    if (::access(QFile::encodeName(device).constData(), W_OK) != 0 && errno == EACCES)
        return PortPresence::Denied;
    return PortPresence::Present;
#endif
}

QString presenceWord(PortPresence presence) {
    switch (presence) {
    case PortPresence::Present:
        return QStringLiteral("present");
    case PortPresence::Absent:
        return QStringLiteral("absent");
    case PortPresence::NoUart:
        return QStringLiteral("no-uart");
    case PortPresence::Denied:
        return QStringLiteral("denied");
    }
    return {};
}

QString stableName(const QString& device) {
#if defined(Q_OS_LINUX)
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QDir byId(deviceFolder() + QStringLiteral("/serial/by-id"));
    for (const QFileInfo& link :
         byId.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        if (link.canonicalFilePath() == target)
            return link.filePath();
#else
    Q_UNUSED(device);
#endif
    return {};
}

QString consoleName(const QString& device) {
#if defined(Q_OS_LINUX)
    struct stat st {};
    if (device.isEmpty() || ::stat(QFile::encodeName(device).constData(), &st) != 0 ||
        !S_ISCHR(st.st_mode))
        return {};
    const QDir sysfs(sysfsFolder());
    QFile active(sysfs.filePath(QStringLiteral("console/active")));
    if (!active.open(QIODevice::ReadOnly))
        return {};
    // "tty0 ttyS0": every console the kernel writes to.
    for (const QByteArray& name : active.read(4096).simplified().split(' ')) {
        if (name.isEmpty() || name.contains('/') || name.startsWith('.'))
            continue;
        QFile number(sysfs.filePath(QString::fromLatin1(name) + QStringLiteral("/dev")));
        if (!number.open(QIODevice::ReadOnly))
            continue;
        // "4:64", the major and minor device number.
        const QList<QByteArray> parts = number.read(64).trimmed().split(':');
        bool highOk = false, lowOk = false;
        const uint high = parts.value(0).toUInt(&highOk);
        const uint low = parts.value(1).toUInt(&lowOk);
        if (parts.size() == 2 && highOk && lowOk && makedev(high, low) == st.st_rdev)
            return QString::fromLatin1(name);
    }
#else
    Q_UNUSED(device);
#endif
    return {};
}

QString presenceText(PortPresence presence) {
    switch (presence) {
    case PortPresence::Present:
        return Text::tr("present");
    case PortPresence::Absent:
        return Text::tr("nothing plugged in");
    case PortPresence::NoUart:
        return Text::tr("no serial hardware behind it");
    case PortPresence::Denied:
        return Text::tr("present, but this user may not open it");
    }
    return {};
}

PortStatus status(int port) {
    PortStatus s;
    s.port = port;
    s.device = device(port);
    s.kind = kind(port);
    s.presence = presenceOf(s.device);
    if (s.presence == PortPresence::Present || s.presence == PortPresence::Denied) {
        s.description = makerAndModel(s.device);
        s.stableName = stableName(s.device);
        s.console = !consoleName(s.device).isEmpty();
    }
    if (s.description.isEmpty())
        s.description = kindText(s.kind);
    return s;
}

QString toolTip(int port) {
    const PortStatus s = status(port);
    QStringList parts{s.device.isEmpty() ? Text::tr("no device") : s.device};
    if (s.description != kindText(s.kind))
        parts << s.description;
    parts << (s.console ? Text::tr("the kernel's console, not used") : presenceText(s.presence));
    return Text::tr("Port %1: %2").arg(port).arg(parts.join(QStringLiteral(", ")));
}

QStringList listing() {
    QList<PortStatus> ports;
    qsizetype width = 1;
    for (int port = MinPort; port <= MaxPort; ++port) {
        ports << status(port);
        width = std::max(width, ports.last().device.size());
    }
    QStringList lines;
    for (const PortStatus& s : ports) {
        const QString word = s.console ? QStringLiteral("console") : presenceWord(s.presence);
        lines << QStringLiteral("%1  %2  %3  %4")
                     .arg(
                         QString::number(s.port).rightJustified(2),
                         (s.device.isEmpty() ? QStringLiteral("-") : s.device).leftJustified(width),
                         word.leftJustified(7), s.description);
        if (!s.stableName.isEmpty())
            lines << QStringLiteral("    ") + s.stableName;
    }
    return lines;
}

QStringList helpLines() {
#if defined(Q_OS_WIN)
    return {Text::tr("port n is COMn")};
#elif defined(Q_OS_MACOS)
    return {Text::tr("port n is the n-th /dev/cu.usbserial* or /dev/cu.usbmodem* device, in "
                     "name order")};
#else
    const int ranges[3][2] = {{1, 4}, {5, 12}, {13, 16}};
    const QString what[3] = {Text::tr("built-in serial ports"),
                             Text::tr("USB serial adapters (FTDI, CH340, PL2303, CP210x)"),
                             Text::tr("USB CDC devices")};
    QStringList devices;
    qsizetype width = 0;
    for (const auto& r : ranges) {
        devices << QStringLiteral("%1 .. %2").arg(tableDevice(r[0]), tableDevice(r[1]));
        width = std::max(width, devices.last().size());
    }
    QStringList lines;
    for (int i = 0; i < 3; ++i)
        lines << QStringLiteral("%1  %2  %3")
                     .arg(QStringLiteral("%1..%2")
                              .arg(ranges[i][0])
                              .arg(ranges[i][1])
                              .leftJustified(6),
                          devices.at(i).leftJustified(width), what[i]);
    return lines;
#endif
}

QStringList presentNow() {
    QStringList ports;
    for (int port = MinPort; port <= MaxPort; ++port) {
        const QString path = device(port);
        switch (presenceOf(path)) {
        case PortPresence::Present:
            if (consoleName(path).isEmpty())
                ports << Text::tr("port %1 (%2)").arg(port).arg(path);
            break;
        case PortPresence::Denied:
            ports << Text::tr("port %1 (%2, not allowed for this user)").arg(port).arg(path);
            break;
        case PortPresence::Absent:
        case PortPresence::NoUart:
            break;
        }
    }
    return ports;
}

ScopedFolders::ScopedFolders(Folders f) : Override(folders(), std::move(f)) {}

ScopedDeviceResolver::ScopedDeviceResolver(DeviceResolver r) : Override(resolver(), std::move(r)) {}

} // namespace PortTable

} // namespace orvane
