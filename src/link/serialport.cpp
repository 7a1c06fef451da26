#include "serialport.h"

#include "linesettings.h"
#include "portproblem.h"

#include <QCoreApplication>
#include <QFile>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::SerialPort)
};
#if !defined(Q_OS_WIN)
// QSerialPort puts back the settings it found as it closes, at once, while an adapter may still
// be sending the end of the frame from a buffer of its own. With the line settings in force
// before it opens (through this descriptor, held until it has), what it puts back changes
// nothing. The settings are those QSerialPort makes of linesettings.h. -1 when the device
// cannot be opened; QSerialPort then says why.
int presetLineSettings(const QString& path) {
    static_assert(LineSettings::BaudRate == 300 && LineSettings::DataBits == QSerialPort::Data8 &&
                  LineSettings::Parity == QSerialPort::NoParity &&
                  LineSettings::StopBits == QSerialPort::TwoStop &&
                  LineSettings::FlowControl == QSerialPort::NoFlowControl);
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t{};
    if (fd < 0 || ::tcgetattr(fd, &t) != 0)
        return fd;
    ::cfmakeraw(&t); // 8 data bits, no parity
    t.c_cflag |= CLOCAL | CSTOPB;
    t.c_cflag &= ~tcflag_t(CRTSCTS);
    t.c_iflag &= ~tcflag_t(PARMRK | INPCK | IXON | IXOFF | IXANY);
    t.c_iflag |= IGNPAR;
    t.c_cc[VTIME] = 0;
    t.c_cc[VMIN] = 0;
    ::cfsetispeed(&t, B300);
    ::cfsetospeed(&t, B300);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}
#endif

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
    close();
}

void SerialPort::setDevice(const QString& path) {
    explicitDevice_ = path.isEmpty() ? path : LinkTarget::ofDevice(path).device;
}

void SerialPort::setTarget(const LinkTarget& target) {
    Q_ASSERT(target.kind != LinkTarget::Kind::Network);
    setCommPort(target.port);
    setDevice(target.kind == LinkTarget::Kind::Device ? target.device : QString());
}

QString SerialPort::device() const {
    return explicitDevice_.isEmpty() ? PortTable::device(commPort_) : explicitDevice_;
}

QString SerialPort::description() const {
    return (explicitDevice_.isEmpty() ? LinkTarget::ofPort(commPort_)
                                      : LinkTarget::ofDevice(explicitDevice_))
        .description();
}

Result<void> SerialPort::setPortOpen(bool open) {
    if (open == port_.isOpen())
        return {};
    if (open)
        return this->open();
    close();
    return {};
}

Result<void> SerialPort::open() {
    const QString path = device();
    if (PortTable::presenceOf(path) == PortPresence::NoUart)
        return fail(openFailureReason(path, PortPresence::NoUart, QSerialPort::NoError, {}));
    if (explicitDevice_.isEmpty()) {
        const QString console = PortTable::consoleName(path);
        if (!console.isEmpty())
            return fail(consoleReason(path, console));
    }
    if (const Result<void> locked = lock_.lockDevice(path); !locked)
        return fail(locked.refusal().reason);
    port_.setPortName(path);
    port_.setBaudRate(LineSettings::BaudRate);
    port_.setDataBits(LineSettings::DataBits);
    port_.setParity(LineSettings::Parity);
    port_.setStopBits(LineSettings::StopBits);
    port_.setFlowControl(LineSettings::FlowControl);
    port_.clearError();
    const LockFileWatch watch(DeviceLock::qtLockFilePath(path));
#if !defined(Q_OS_WIN)
    const int preset = presetLineSettings(path);
    const bool opened = port_.open(OpenMode);
    if (preset >= 0)
        ::close(preset);
#else
    const bool opened = port_.open(OpenMode);
#endif
    if (!opened) {
        lock_.release();
        Result<void> lockFile = watch.outcome();
        if (lockFile)
            lockFile = DeviceLock::checkQtLockFile(path);
        return fail(!lockFile ? lockFile.refusal().reason
                              : openFailureReason(path, PortTable::presenceOf(path), port_.error(),
                                                  portError()));
    }
#if !defined(Q_OS_WIN)
    if (!lock_.lockDescriptor(int(port_.handle()))) {
        close();
        return fail(anotherProgramReason());
    }
#endif
    return {};
}

void SerialPort::close() {
    if (port_.isOpen()) {
        if (const Result<qint64> queued = OutBufferCount(); !queued || *queued != 0)
            port_.clear(QSerialPort::Output);
        port_.close();
    }
    port_.clearError();
    lock_.release();
}

Result<void> SerialPort::setOutput(QByteArrayView text) {
    if (!port_.isOpen())
        return fail(Text::tr("the port is not open"));
    if (port_.write(text.data(), text.size()) != text.size())
        return fail(portError());
    return {};
}

Result<qint64> SerialPort::OutBufferCount() const {
    if (!port_.isOpen())
        return fail(Text::tr("the port is not open"));
#if defined(Q_OS_WIN)
    COMSTAT status{};
    DWORD errors = 0;
    if (!ClearCommError(port_.handle(), &errors, &status))
        return fail(qt_error_string(int(GetLastError())));
    return qint64(status.cbOutQue);
#else
    const int fd = int(port_.handle());
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) == -1)
        return fail(qt_error_string(errno));
#if defined(TIOCSERGETLSR) && defined(TIOCSER_TEMT)
    int status = 0;
    if (queued == 0 && ::ioctl(fd, TIOCSERGETLSR, &status) == 0 && !(status & TIOCSER_TEMT))
        queued = 1;
#endif
    return qint64(queued);
#endif
}

Refusal SerialPort::fail(const QString& reason) const {
    return {description(), reason};
}

QString SerialPort::portError() const {
    const QString text = port_.errorString();
    return text.isEmpty() ? Text::tr("unknown error") : text;
}

} // namespace orvane
