#pragma once

// Where a download goes, as the user named it once and every part of the program takes it on:
// a numbered port (1..16, whose device the port table gives), a serial device named by its path,
// or a sign's serial line behind a network serial server, named as serial tools name it:
//
//   socket://HOST:PORT   a raw TCP byte stream to the server's serial line
//   rfc2217://HOST:PORT  a Telnet COM-PORT-OPTION server (RFC 2217), an IPv6 host in brackets
//
// The window's --device, orvane-send's --port, --device and --sign, signs.conf and ORVANE_DEVICE
// all make one of these; the download opens what it names (downloadsession.h).

#include "portnumbers.h"
#include "result.h"

#include <QString>

namespace orvane {

struct NetworkAddress {
    enum class Protocol { Raw, Rfc2217 };
    Protocol protocol = Protocol::Raw;
    QString host;
    quint16 port = 0;

    // "socket://HOST:PORT" or "rfc2217://HOST:PORT", an IPv6 host in brackets.
    QString text() const;
};

// Whether `name` is meant as a network link ("socket://...", "rfc2217://...", or any other
// "scheme://") rather than a device path.
bool isNetworkName(const QString& name);

struct LinkTarget {
    enum class Kind { Port, Device, Network };
    Kind kind = Kind::Port;
    int port = PortTable::MinPort; // a port's number
    QString device;                // a device's path (on Windows also COMn or \\.\NAME)
    NetworkAddress address;        // a network link's

    static LinkTarget ofPort(int port);
    // A relative path names a file in the current folder, as for any other program, and is
    // kept as the absolute path it is now.
    static LinkTarget ofDevice(const QString& path);
    // A network name (see isNetworkName) or else a device path; empty is port 1. A network name
    // of another kind or form than the two above is refused, the refusal naming it, and so is
    // text with a control character.
    static Result<LinkTarget> parse(const QString& text);

    // The serial device it opens now: the port table's for a port; empty for a network link.
    QString serialDevice() const;
    // Names it for messages: "port 3 (/dev/ttyS2)", a device's path, "rfc2217://sign:2001".
    QString description() const;
};

} // namespace orvane
