#include "linktarget.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace orvane {

namespace {

// The translation contexts of this file's messages: a port's name is the serial port's, a
// network name's faults the network line's.
struct PortText {
    Q_DECLARE_TR_FUNCTIONS(orvane::SerialPort)
};
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::NetworkLine)
};

constexpr QLatin1StringView RawScheme("socket");
constexpr QLatin1StringView Rfc2217Scheme("rfc2217");

// QUrl takes the address apart; what it refuses, or a part the form has no room for, is then
// named as precisely as the text allows.
Result<NetworkAddress> parseNetworkAddress(const QString& name) {
    const auto refuse = [&](const QString& reason) { return Refusal(name, reason); };
    NetworkAddress address;
    const QString scheme = name.section(QLatin1String("://"), 0, 0).toLower();
    if (scheme == RawScheme)
        address.protocol = NetworkAddress::Protocol::Raw;
    else if (scheme == Rfc2217Scheme)
        address.protocol = NetworkAddress::Protocol::Rfc2217;
    else
        return refuse(Text::tr("not a kind of link this program knows; use socket://HOST:PORT "
                               "(a raw TCP port) or rfc2217://HOST:PORT (an RFC 2217 server)"));
    const QString form = scheme + QStringLiteral("://HOST:PORT");
    const QString authority = name.mid(scheme.size() + 3);
    const QUrl url(name, QUrl::StrictMode);
    if (!url.userInfo().isEmpty() || authority.contains(QLatin1Char('@')))
        return refuse(Text::tr("a link takes no user name or password; write %1").arg(form));
    if (url.isValid() && !url.host().isEmpty() && url.path().isEmpty() && !url.hasQuery() &&
        !url.hasFragment() && url.port() > 0) {
        address.host = url.host();
        address.port = quint16(url.port());
        return address;
    }
    // Said as precisely as the text allows: the port is what follows the host, after "]" for
    // an IPv6 address, else after the last ":".
    const bool bracketed = authority.startsWith(QLatin1Char('['));
    const qsizetype hostEnd = bracketed ? authority.indexOf(QLatin1Char(']')) + 1
                                        : authority.lastIndexOf(QLatin1Char(':'));
    if (bracketed && hostEnd == 0)
        return refuse(Text::tr("not of the form %1").arg(form));
    const QString afterHost = hostEnd < 0 ? QString() : authority.mid(hostEnd);
    if (afterHost.isEmpty() || afterHost == QLatin1String(":"))
        return refuse(Text::tr("the port is missing; write %1").arg(form));
    if (!bracketed && authority.left(hostEnd).contains(QLatin1Char(':')))
        return refuse(Text::tr("an IPv6 address goes in brackets, as in %1")
                          .arg(scheme + QStringLiteral("://[::1]:PORT")));
    if (!afterHost.startsWith(QLatin1Char(':')))
        return refuse(Text::tr("not of the form %1").arg(form));
    const QString port = afterHost.mid(1);
    bool ok = false;
    const uint number = port.toUInt(&ok);
    const bool digits = std::all_of(port.begin(), port.end(), [](QChar c) { return c.isDigit(); });
    if (!ok || !digits || number < 1 || number > 65535)
        return refuse(Text::tr("the port must be a number from 1 to 65535, not \"%1\"").arg(port));
    return refuse(Text::tr("not of the form %1").arg(form));
}

} // namespace

QString NetworkAddress::text() const {
    const QString host = this->host.contains(QLatin1Char(':'))
                             ? QLatin1Char('[') + this->host + QLatin1Char(']')
                             : this->host;
    return (protocol == Protocol::Raw ? RawScheme : Rfc2217Scheme) + QStringLiteral("://") + host +
           QLatin1Char(':') + QString::number(port);
}

bool isNetworkName(const QString& name) {
    const qsizetype colon = name.indexOf(QLatin1String("://"));
    if (colon <= 0)
        return false;
    const QStringView scheme = QStringView(name).left(colon);
    return std::all_of(scheme.begin(), scheme.end(), [](QChar c) {
        return c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
               c == QLatin1Char('.');
    });
}

LinkTarget LinkTarget::ofPort(int port) {
    LinkTarget target;
    target.port = port;
    return target;
}

LinkTarget LinkTarget::ofDevice(const QString& path) {
    LinkTarget target;
    target.kind = Kind::Device;
#if defined(Q_OS_WIN)
    target.device = path; // COM3 or \\.\COM10: names, not files
#else
    target.device = QFileInfo(path).absoluteFilePath();
#endif
    return target;
}

Result<LinkTarget> LinkTarget::parse(const QString& text) {
    if (text.isEmpty())
        return ofPort(PortTable::MinPort);
    // A control character (from a signs file, say) names no device; the message shows it as
    // \xNN rather than letting it act on the terminal.
    const auto isControl = [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; };
    if (std::any_of(text.begin(), text.end(), isControl)) {
        QString shown;
        for (const QChar c : text)
            shown += isControl(c)
                         ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                         : QString(c);
        return Refusal(shown, PortText::tr("a device or link has no control characters"));
    }
    if (!isNetworkName(text))
        return ofDevice(text);
    const Result<NetworkAddress> address = parseNetworkAddress(text);
    if (!address)
        return address.refusal();
    LinkTarget target;
    target.kind = Kind::Network;
    target.address = *address;
    return target;
}

QString LinkTarget::serialDevice() const {
    switch (kind) {
    case Kind::Port:
        return PortTable::device(port);
    case Kind::Device:
        return device;
    case Kind::Network:
        break;
    }
    return {};
}

QString LinkTarget::description() const {
    switch (kind) {
    case Kind::Port: {
        const QString path = serialDevice();
        if (path.isEmpty())
            return PortText::tr("port %1").arg(port);
        return PortText::tr("port %1 (%2)").arg(port).arg(path);
    }
    case Kind::Device:
        return device;
    case Kind::Network:
        return address.text();
    }
    return {};
}

} // namespace orvane
