#include "ser2net.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

namespace orvane::testing {

namespace {

// Whether something listens on 127.0.0.1:port, from the kernel's table of TCP sockets.
bool listening(quint16 port) {
    QFile table(QStringLiteral("/proc/net/tcp"));
    const QByteArray local = QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    return table.open(QIODevice::ReadOnly) &&
           table.readAll().contains(" 0100007F:" + local + " 00000000:0000 0A ");
}

} // namespace

quint16 Ser2Net::freePort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost) ? server.serverPort() : 0;
}

Ser2Net::Ser2Net(const QString& device, bool rfc2217) {
    // It lives in /usr/sbin, which a user's PATH may leave out.
    const QString program = QStandardPaths::findExecutable(
        QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    const quint16 port = freePort();
    const QString scheme = rfc2217 ? QStringLiteral("rfc2217") : QStringLiteral("socket");
    url_ = QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(port);
    const QByteArray config = QStringLiteral("connection: &line\n  accepter: %1tcp,127.0.0.1,%2\n"
                                             "  connector: serialdev,%3,%4,local\n")
                                  .arg(rfc2217 ? QStringLiteral("telnet(rfc2217),") : QString())
                                  .arg(port)
                                  .arg(device, rfc2217 ? "9600n81" : "300n82")
                                  .toUtf8();
    QFile file(dir_.filePath(QStringLiteral("ser2net.yaml")));
    if (program.isEmpty()) {
        error_ = QStringLiteral("ser2net is not installed (apt-get install ser2net)");
        return;
    }
    if (!file.open(QIODevice::WriteOnly) || file.write("%YAML 1.1\n---\n" + config) < 0) {
        error_ = file.fileName() + QStringLiteral(": cannot write");
        return;
    }
    file.close();
    process_.setProcessChannelMode(QProcess::MergedChannels);
    // In the foreground (-n), messages on standard output (-d), no UUCP lock files (-u).
    process_.start(program, {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"),
                             QStringLiteral("-c"), file.fileName(), QStringLiteral("-P"),
                             dir_.filePath(QStringLiteral("pid"))});
    for (const QDeadlineTimer deadline(10000); !listening(port); QThread::msleep(20)) {
        if (process_.state() == QProcess::NotRunning || deadline.hasExpired()) {
            error_ = QStringLiteral("ser2net did not come up: ") +
                     QString::fromLocal8Bit(process_.readAll()) + process_.errorString();
            return;
        }
    }
}

Ser2Net::~Ser2Net() {
    process_.kill();
    process_.waitForFinished();
}

} // namespace orvane::testing
