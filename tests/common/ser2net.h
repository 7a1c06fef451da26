#pragma once

// Debian's ser2net serving one device on 127.0.0.1 while the object lives: a raw TCP port
// (socket://, the line at 300n82) or an RFC 2217 server (rfc2217://, at 9600n81 until set),
// taking `connections` connections at once.

#include <QProcess>
#include <QTemporaryDir>

namespace orvane::testing {

class Ser2Net {
public:
    Ser2Net(const QString& device, bool rfc2217, int connections = 1);
    ~Ser2Net() { process_.kill(), process_.waitForFinished(); }

    QString error() const { return error_; } // empty once it listens
    QString url() const { return url_; }
    static quint16 freePort(); // on 127.0.0.1, that nothing listens on now

private:
    QTemporaryDir dir_;
    QProcess process_;
    QString url_, error_;
};

} // namespace orvane::testing
