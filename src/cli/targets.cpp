#include "targets.h"

#include "devicelock.h"
#include "networkline.h"
#include "porttable.h"
#include "serialport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Send)
};

// The port or device as messages name it ("port 6 (/dev/ttyUSB1)"), and the device it opens.
QString describe(const SignDevice& link, QString* path = nullptr) {
    SerialPort port;
    selectLink(port, link);
    if (path)
        *path = port.device();
    return port.description();
}

QString devicePath(const SignDevice& link) {
    QString path;
    describe(link, &path);
    return path;
}
} // namespace

void selectLink(SerialPort& port, const SignDevice& link) {
    port.setCommPort(link.port > 0 ? link.port : SerialPort::MinPort);
    port.setDevice(link.device);
}

QString Target::label() const {
    return link.name.isEmpty() ? describe(link) : link.name;
}

QString deviceIdentity(const SignDevice& link) {
    if (isNetworkName(link.device)) {
        Refusal unused;
        const auto address = parseNetworkAddress(link.device, &unused);
        return address ? address->text().toLower() : link.device;
    }
    const QString path = devicePath(link);
#if defined(Q_OS_WIN)
    return QString(path).remove(QStringLiteral("\\\\.\\")).toUpper();
#else
    const QString lock = DeviceLock::lockFilePath(path);
    if (!lock.isEmpty())
        return lock;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
#endif
}

std::optional<QList<Target>> sendTargets(const SendOptions& options, QStringList* warnings,
                                         QString* error, int* exitCode) {
    QList<SignDevice> links = options.links;
    if (!options.signs.isEmpty()) {
        const Result<SignList> file = readSignsFile(signsFilePath());
        if (!file.ok) {
            *error = file.error();
            *exitCode = ExitSourceRefused;
            return std::nullopt;
        }
        const auto signs = file.expand(options.signs, error);
        if (!signs) {
            *exitCode = ExitUsage;
            return std::nullopt;
        }
        links << *signs;
    }
    QList<Target> targets;
    QHash<QString, qsizetype> byDevice;
    for (const SignDevice& link : std::as_const(links)) {
        const QString identity = deviceIdentity(link);
        if (const qsizetype first = byDevice.value(identity, -1); first >= 0) {
            const QString& firstName = targets[first].link.name;
            if (!link.name.isEmpty() && !firstName.isEmpty())
                *warnings << Text::tr("the signs %1 and %2 are one device, %3; it is sent to once")
                                 .arg(firstName, link.name, devicePath(targets[first].link));
            continue;
        }
        byDevice.insert(identity, targets.size());
        targets << Target{link};
    }
    return targets;
}

QStringList signListing(const SignList& list) {
    qsizetype width = 1;
    for (const SignList::Entry& entry : list.entries)
        width = std::max(width, entry.name.size());
    QStringList lines;
    for (const SignList::Entry& entry : list.entries) {
        QString what;
        if (!entry.members.isEmpty()) {
            // Scripts read these lines: "group:", like the presence words, is the same in every
            // language.
            what = QStringLiteral("group: %1").arg(entry.members.join(QStringLiteral(", ")));
        } else if (isNetworkName(entry.device.device)) {
            what = entry.device.device;
        } else {
            QString path;
            what = describe(entry.device, &path);
            what += QStringLiteral("  ") + PortTable::presenceWord(PortTable::presenceOf(path));
        }
        lines << QStringLiteral("%1  %2").arg(entry.name.leftJustified(width), what);
    }
    return lines;
}

} // namespace orvane
