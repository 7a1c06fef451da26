#include "signsfile.h"

#include "porttable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Signs)
};
} // namespace

QString signsFilePath() {
    const QString named = qEnvironmentVariable("ORVANE_SIGNS");
    if (!named.isEmpty())
        return named;
#if defined(Q_OS_WIN)
    const QString folder = qEnvironmentVariable("APPDATA");
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
    return QDir(folder).filePath(QStringLiteral("orvane/signs.conf"));
}

Result<SignList> readSignsFile(const QString& fileName) {
    Result<SignList> signs = loadSigns(fileName);
    if (!signs)
        return signs;
    for (const SignList::Entry& entry : signs->entries) {
        if (!entry.members.isEmpty())
            continue;
        const SignDevice& link = entry.device;
        QString problem;
        if (link.device.isEmpty() &&
            (link.port < PortTable::MinPort || link.port > PortTable::MaxPort))
            problem = Text::tr("\"%1\": a port is a number from %2 to %3")
                          .arg(link.text())
                          .arg(PortTable::MinPort)
                          .arg(PortTable::MaxPort);
        else if (const Result<LinkTarget> parsed = LinkTarget::parse(link.device); !parsed)
            problem = parsed.error();
        else if (!isNetworkName(link.device) && link.device.contains(QLatin1String("://")))
            problem = Text::tr("\"%1\" is no network link: use socket://HOST:PORT or "
                               "rfc2217://HOST:PORT")
                          .arg(link.device);
        if (!problem.isEmpty())
            return Refusal(fileName, Text::tr("line %1: %2").arg(entry.line).arg(problem));
    }
    return signs;
}

LinkTarget signLink(const SignDevice& sign) {
    return sign.device.isEmpty() ? LinkTarget::ofPort(sign.port)
                                 : LinkTarget::parse(sign.device).value();
}

Result<LinkTarget> deviceOrSign(const QString& argument) {
    if (!isSignName(argument) || isDevicePath(argument) || QFileInfo::exists(argument))
        return LinkTarget::parse(argument);
    const Result<SignList> signs = readSignsFile(signsFilePath());
    if (!signs)
        return signs.refusal();
    const Result<SignDevice> sign = signs->one(argument);
    if (!sign)
        return sign.refusal();
    return signLink(*sign);
}

} // namespace orvane
