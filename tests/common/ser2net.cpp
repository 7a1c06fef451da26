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
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local =
        "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1] == local && fields[3] == "0A")
            return true;
    }
    return false;
}

} // namespace

quint16 Ser2Net::freePort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost) ? server.serverPort() : 0;
}

Ser2Net::Ser2Net(const QString& rawDevice, const QString& rfc2217Device) {
    // It lives in /usr/sbin, which a user's PATH may leave out.
    QString program = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(
            QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (program.isEmpty()) {
        error_ = QStringLiteral("ser2net is not installed (apt-get install ser2net)");
        return;
    }
    rawPort_ = freePort();
    do
        rfc2217Port_ = freePort();
    while (rfc2217Port_ == rawPort_);
    const QByteArray config = QStringLiteral("%YAML 1.1\n---\n"
                                             "connection: &raw\n"
                                             "  accepter: tcp,127.0.0.1,%1\n"
                                             "  connector: serialdev,%2,300n82,local\n"
                                             "connection: &rfc2217\n"
                                             "  accepter: telnet(rfc2217),tcp,127.0.0.1,%3\n"
                                             "  connector: serialdev,%4,9600n81,local\n")
                                  .arg(rawPort_)
                                  .arg(rawDevice)
                                  .arg(rfc2217Port_)
                                  .arg(rfc2217Device)
                                  .toUtf8();
    QFile file(dir_.filePath(QStringLiteral("ser2net.yaml")));
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size()) {
        error_ = QStringLiteral("cannot write %1").arg(file.fileName());
        return;
    }
    file.close();
    process_.setProcessChannelMode(QProcess::MergedChannels);
    // -n -d: in the foreground, messages on standard output; -u: no UUCP lock files.
    process_.start(program, {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"),
                             QStringLiteral("-c"), file.fileName(), QStringLiteral("-P"),
                             dir_.filePath(QStringLiteral("ser2net.pid"))});
    if (!process_.waitForStarted()) {
        error_ = QStringLiteral("ser2net did not start: %1").arg(process_.errorString());
        return;
    }
    const QDeadlineTimer deadline(10000);
    while (!(listening(rawPort_) && listening(rfc2217Port_))) {
        if (process_.state() != QProcess::Running || deadline.hasExpired()) {
            error_ = QStringLiteral("ser2net did not come up: %1")
                         .arg(QString::fromLocal8Bit(process_.readAll()));
            return;
        }
        QThread::msleep(20);
    }
}

Ser2Net::~Ser2Net() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

QString Ser2Net::rawUrl() const {
    return QStringLiteral("socket://127.0.0.1:%1").arg(rawPort_);
}

QString Ser2Net::rfc2217Url() const {
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfc2217Port_);
}

} // namespace orvane::testing
