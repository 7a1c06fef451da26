#include "serialport.h"

#include "linesettings.h"
#include "portproblem.h"

#include <QCoreApplication>

#include <cerrno>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <termios.h>
#endif

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::SerialPort)
};
} // namespace

namespace {

// How long one write may wait for the system to take it. The system's output buffer takes the
// whole frame at once; this bounds a device that stops taking data.
constexpr int WriteTimeoutMs = 5000;

// Windows refuses the line settings of a port opened for writing only ("Access denied"); the
// port is never read all the same.
#if defined(Q_OS_WIN)
constexpr QIODevice::OpenMode OpenMode = QIODevice::ReadWrite;
#else
constexpr QIODevice::OpenMode OpenMode = QIODevice::WriteOnly;
#endif

} // namespace

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() {
    if (port_.isOpen())
        drainAndClose();
}

QString SerialPort::device() const {
    return explicitDevice_.isEmpty() ? PortTable::device(commPort_) : explicitDevice_;
}

QString SerialPort::description() const {
    if (!explicitDevice_.isEmpty())
        return explicitDevice_;
    const QString path = device();
    if (path.isEmpty())
        return Text::tr("port %1").arg(commPort_);
    return Text::tr("port %1 (%2)").arg(commPort_).arg(path);
}

bool SerialPort::setPortOpen(bool open) {
    if (open == port_.isOpen())
        return true;
    return open ? this->open() : drainAndClose();
}

bool SerialPort::open() {
    error_.clear();
    const QString path = device();
    if (PortTable::presenceOf(path) == PortPresence::NoUart)
        return fail(openFailureReason(path, PortPresence::NoUart, QSerialPort::NoError, {}));
    port_.setPortName(path);
    port_.setBaudRate(LineSettings::BaudRate);
    port_.setDataBits(LineSettings::DataBits);
    port_.setParity(LineSettings::Parity);
    port_.setStopBits(LineSettings::StopBits);
    port_.setFlowControl(LineSettings::FlowControl);
    port_.clearError();
    if (!port_.open(OpenMode))
        return fail(
            openFailureReason(path, PortTable::presenceOf(path), port_.error(), portError()));
    return true;
}

bool SerialPort::setOutput(QByteArrayView text) {
    if (!port_.isOpen())
        return fail(Text::tr("the port is not open"));
    port_.clearError();
    if (port_.write(text.data(), text.size()) != text.size())
        return fail(portError());
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(WriteTimeoutMs)) {
            return fail(writeWaitError());
        }
    }
    if (port_.error() != QSerialPort::NoError)
        return fail(portError());
    return true;
}

bool SerialPort::drainAndClose() {
    bool ok = true;
    QString reason;
    while (ok && port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(WriteTimeoutMs)) {
            ok = false;
            reason = writeWaitError();
        }
    }
    if (ok) {
#if defined(Q_OS_WIN)
        if (!FlushFileBuffers(reinterpret_cast<HANDLE>(port_.handle()))) {
            ok = false;
            reason = qt_error_string(int(GetLastError()));
        }
#else
        int rc;
        do
            rc = ::tcdrain(port_.handle());
        while (rc == -1 && errno == EINTR);
        if (rc == -1) {
            ok = false;
            reason = qt_error_string(errno);
        }
#endif
    }
    port_.close();
    port_.clearError();
    return ok ? true : fail(reason);
}

bool SerialPort::fail(const QString& reason) {
    error_ = reason;
    return false;
}

QString SerialPort::writeWaitError() const {
    if (port_.error() == QSerialPort::NoError || port_.error() == QSerialPort::TimeoutError)
        return Text::tr("the device took no data for %1 s").arg(WriteTimeoutMs / 1000);
    return portError();
}

QString SerialPort::portError() const {
    const QString text = port_.errorString();
    return text.isEmpty() ? Text::tr("unknown error") : text;
}

} // namespace orvane
