#pragma once

// Debian's ser2net as the network serial server of a test: it serves one pseudo-terminal as a
// raw TCP port (socket://, the line at 300n82) and another as an RFC 2217 Telnet port
// (rfc2217://, the line at 9600n81 until the client sets it), both on 127.0.0.1 at ports that
// were free when it started. It runs in the foreground for as long as the object lives.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace orvane::testing {

class Ser2Net {
public:
    Ser2Net(const QString& rawDevice, const QString& rfc2217Device);
    Ser2Net(const Ser2Net&) = delete;
    Ser2Net& operator=(const Ser2Net&) = delete;
    ~Ser2Net();

    // False when it is not installed or did not come up; error() says why.
    bool isRunning() const { return error_.isEmpty(); }
    QString error() const { return error_; }

    QString rawUrl() const;     // socket://127.0.0.1:PORT
    QString rfc2217Url() const; // rfc2217://127.0.0.1:PORT
    quint16 rawPort() const { return rawPort_; }
    quint16 rfc2217Port() const { return rfc2217Port_; }

    // A port on 127.0.0.1 that nothing listens on now.
    static quint16 freePort();

private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 rawPort_ = 0;
    quint16 rfc2217Port_ = 0;
    QString error_;
};

} // namespace orvane::testing
