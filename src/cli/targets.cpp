#include "targets.h"

#include "devicelock.h"
#include "porttable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Send)
};

} // namespace

QString Target::label() const {
    return name.isEmpty() ? link.description() : name;
}

QString deviceIdentity(const LinkTarget& link) {
    if (link.kind == LinkTarget::Kind::Network)
        return link.address.text().toLower();
    const QString path = link.serialDevice();
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

Result<QList<Target>> sendTargets(const SendOptions& options, const SignList& signsFile) {
    QList<Target> links;
    for (const LinkTarget& link : options.links)
        links << Target{{}, link};
    if (!options.signs.isEmpty()) {
        const Result<QList<SignDevice>> signs = signsFile.expand(options.signs);
        if (!signs)
            return signs.refusal();
        for (const SignDevice& sign : *signs)
            links << Target{sign.name, signLink(sign)};
    }
    QStringList warnings;
    QList<Target> targets;
    QHash<QString, qsizetype> byDevice;
    for (const Target& target : std::as_const(links)) {
        const QString identity = deviceIdentity(target.link);
        if (const qsizetype first = byDevice.value(identity, -1); first >= 0) {
            const Target& firstTarget = targets[first];
            if (!target.name.isEmpty() && !firstTarget.name.isEmpty())
                warnings << Text::tr("the signs %1 and %2 are one device, %3; it is sent to once")
                                .arg(firstTarget.name, target.name,
                                     firstTarget.link.serialDevice());
            continue;
        }
        byDevice.insert(identity, targets.size());
        targets << target;
    }
    return {targets, warnings};
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
        } else if (const LinkTarget link = signLink(entry.device);
                   link.kind == LinkTarget::Kind::Network) {
            what = entry.device.device;
        } else {
            what = link.description() + QStringLiteral("  ") +
                   PortTable::presenceWord(PortTable::presenceOf(link.serialDevice()));
        }
        lines << QStringLiteral("%1  %2").arg(entry.name.leftJustified(width), what);
    }
    return lines;
}

} // namespace orvane
