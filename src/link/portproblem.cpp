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
        return explain(Text::tr("another program is using it"), systemReason,
                       Text::tr("Close that program and try again."));
    }
    return systemReason;
}

} // namespace orvane
