#include "ser2net.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QThread>

namespace orvane::testing {

quint16 Ser2Net::freePort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost) ? server.serverPort() : 0;
}

Ser2Net::Ser2Net(const QString& device, bool rfc2217, int connections) {
    const quint16 port = freePort();
    url_ = QString(rfc2217 ? "rfc2217" : "socket") + "://127.0.0.1:" + QString::number(port);
    QFile config(dir_.filePath("ser2net.yaml"));
    if (config.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        config.write(QString("%YAML 1.1\n---\nconnection: &line\n  accepter: %1tcp,127.0.0.1,%2\n"
                             "  connector: serialdev,%3,%4,local\n"
                             "  options:\n    max-connections: %5\n")
                         .arg(rfc2217 ? "telnet(rfc2217)," : "")
                         .arg(port)
                         .arg(device, rfc2217 ? "9600n81" : "300n82")
                         .arg(connections)
                         .toUtf8());
    process_.setProcessChannelMode(QProcess::MergedChannels);
    // In the foreground (-n), messages on standard output (-d), no UUCP locks (-u).
    process_.start("/usr/sbin/ser2net",
                   {"-n", "-d", "-u", "-c", config.fileName(), "-P", dir_.filePath("pid")});
    // Up once the kernel's table of TCP sockets has it listening on 127.0.0.1:port.
    const QByteArray listening =
        " 0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0') +
        " 00000000:0000 0A ";
    for (const QDeadlineTimer deadline(10000);; QThread::msleep(20)) {
        QFile table("/proc/net/tcp");
        if (table.open(QIODevice::ReadOnly) && table.readAll().contains(listening))
            return;
        if (process_.state() == QProcess::NotRunning || deadline.hasExpired()) {
            error_ = "ser2net (apt-get install ser2net) did not come up: " +
                     QString::fromLocal8Bit(process_.readAll()) + process_.errorString();
            return;
        }
    }
}

} // namespace orvane::testing
