#pragma once

// Debian's ser2net serving one device on 127.0.0.1 for as long as the object lives: as a raw TCP
// port (socket://, the line at 300n82) or as an RFC 2217 server (rfc2217://, the line at 9600n81
// until the client sets it).

#include <QProcess>
#include <QTemporaryDir>

namespace orvane::testing {

class Ser2Net {
public:
    Ser2Net(const QString& device, bool rfc2217);
    ~Ser2Net();

    QString error() const { return error_; } // empty once it listens
    QString url() const { return url_; }
    // A port on 127.0.0.1 that nothing listens on now.
    static quint16 freePort();

private:
    QTemporaryDir dir_;
    QProcess process_;
    QString url_, error_;
};

} // namespace orvane::testing
