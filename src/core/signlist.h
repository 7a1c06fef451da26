#pragma once

// Named signs: a signs file names each sign's device, and groups of signs, so that a user with
// many signs names them instead of typing devices:
//
//   # the shop floor
//   lobby  = /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//   desk   = port 6
//   door   = socket://door-host:2000
//   floor  = lobby, door, desk
//
// A device is "port N", a network link (anything with "://") or an absolute device path (on
// Windows also COMn or \\.\NAME); anything else is a list of names, a group. A name is letters,
// digits, "-", "_" and "."; "#" starts a comment. A group may name signs and other groups, never
// itself. This is the file's form; whether a port number or a link can be used is the link
// layer's to check (signsfile.h).

#include "result.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace orvane {

// One sign's device: a numbered port, or an explicit device or network link.
struct SignDevice {
    QString name; // the sign's name; empty for a port or device named otherwise
    int port = 0; // the number of "port N"; 0 when device names it
    QString device;

    // "port 6", or the device as written.
    QString text() const;
};

struct SignList {
    struct Entry {
        QString name;
        int line = 0;
        SignDevice device;   // a sign's
        QStringList members; // a group's, in the file's order; empty for a sign
    };
    QString file;
    QList<Entry> entries;            // in the file's order
    QHash<QString, qsizetype> index; // each name's place in entries

    const Entry* find(const QString& name) const;
    // The signs that `names` stand for, a group's in its order, each sign once. An unknown name is
    // refused with a message that names the file and the names it has (in the reason: the
    // refusal has no subject of its own).
    Result<QList<SignDevice>> expand(const QStringList& names) const;
    // The one sign `name` names; an unknown name or a group is refused, as expand() does.
    Result<SignDevice> one(const QString& name) const;
};

// Reads file content; a refusal's subject is `fileName` and its reason starts with the line at
// fault: "line 3: ...".
Result<SignList> parseSigns(const QString& fileName, const QByteArray& bytes);
// Reads the named file, bounded as every file the user names.
Result<SignList> loadSigns(const QString& fileName);

// Whether `text` has the form of a sign's name.
bool isSignName(const QString& text);
// Whether `text` is an absolute device path, or on Windows COMn or \\.\NAME.
bool isDevicePath(const QString& text);

} // namespace orvane
