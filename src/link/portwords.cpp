#include "portwords.h"

#include <QCoreApplication>

#include <algorithm>

namespace orvane {

namespace {

class Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::PortTable)
};

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

} // namespace

namespace PortTable {

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

} // namespace PortTable

} // namespace orvane
