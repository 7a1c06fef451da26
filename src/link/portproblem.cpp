#include "portproblem.h"

#include "deviceaccess.h"

#include <QCoreApplication>

namespace orvane {

namespace {

class Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::PortProblem)
};

// "what (the system's reason). more", leaving out what is empty.
QString explain(const QString& what, const QString& systemReason, const QString& more) {
    QString reason = systemReason;
    if (reason.endsWith(QLatin1Char('.'))) // as Windows' messages do
        reason.chop(1);
    QString text = reason.isEmpty() ? what : QStringLiteral("%1 (%2)").arg(what, reason);
    text += QLatin1Char('.');
    if (!more.isEmpty())
        text += QLatin1Char(' ') + more;
    return text;
}

} // namespace

QString presentNowSentence() {
    const QStringList ports = PortTable::presentNow();
    if (ports.isEmpty())
        return Text::tr("No serial device is present on any port now.");
    return Text::tr("Present now: %1.").arg(ports.join(QStringLiteral(", ")));
}

QString anotherSenderReason() {
    return explain(Text::tr("another program is sending to it"), {},
                   Text::tr("Wait until it has finished, then try again."));
}

QString anotherProgramReason(const QString& systemReason) {
    return explain(Text::tr("another program is using it"), systemReason,
                   Text::tr("Close that program and try again."));
}

QString openFailureReason(const QString& device, PortPresence presence,
                          QSerialPort::SerialPortError error, const QString& systemReason) {
    if (presence == PortPresence::Absent || error == QSerialPort::DeviceNotFoundError)
        return explain(Text::tr("nothing is plugged in there"), systemReason, presentNowSentence());
    if (presence == PortPresence::NoUart)
        return explain(Text::tr("this built-in port has no serial hardware behind it (the "
                                "system reports no UART there)"),
                       systemReason, presentNowSentence());
    if (error == QSerialPort::PermissionError) {
        const QString advice = permissionAdvice(device);
        if (!advice.isEmpty() || presence == PortPresence::Denied)
            return explain(Text::tr("this user may not open it"), systemReason, advice);
        return anotherProgramReason(systemReason);
    }
    return systemReason;
}

QString consoleReason(const QString& device, const QString& name) {
    return Text::tr("it is the kernel's console (/sys/class/tty/console/active names %1): the "
                    "kernel writes its messages there and a login prompt may answer on it, so "
                    "this port is not used. To free it, remove \"console=%1\" from the kernel "
                    "command line (GRUB_CMDLINE_LINUX in /etc/default/grub, then \"sudo "
                    "update-grub\" and a reboot) and stop its login prompt with \"sudo systemctl "
                    "disable --now serial-getty@%1.service\"; or, to send there anyway, name the "
                    "device itself: --device %2.")
        .arg(name, device);
}

} // namespace orvane
