#include "portpresence.h"

#include "portnumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

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

#if !defined(Q_OS_WIN)
// The sysfs "type" of the tty behind `device` is 0 when no UART answers at its address. Looked
// up under the name in the device folder and under the name a link points to.
bool hasNoUart(const QFileInfo& device) {
    QStringList names{device.fileName()};
    const QString target = QFileInfo(device.canonicalFilePath()).fileName();
    if (!target.isEmpty() && target != names.first())
        names << target;
    for (const QString& name : names) {
        QFile type(QDir(PortTable::sysfsFolder()).filePath(name + QStringLiteral("/type")));
        if (type.open(QIODevice::ReadOnly))
            return type.read(16).trimmed() == "0";
    }
    return false;
}
#endif

} // namespace

namespace PortTable {

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

} // namespace PortTable

} // namespace orvane
