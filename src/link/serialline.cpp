#include "serialline.h"

#include <QSocketNotifier>

#include <cerrno>

namespace orvane {

SerialLine::SerialLine(const LinkTarget& target, QObject* parent) : SignLine(parent) {
    port_.setTarget(target);
    connect(&port_.port(), &QSerialPort::bytesWritten, this, &SignLine::written);
    connect(&port_.port(), &QSerialPort::errorOccurred, this, &SerialLine::portError);
}

SerialLine::~SerialLine() {
    disconnect(&port_.port(), nullptr, this, nullptr);
    port_.close();
}

Result<void> SerialLine::open() {
    abort();
    if (Result<void> opened = port_.setPortOpen(true); !opened)
        return opened;
    QMetaObject::invokeMethod(
        this,
        [this, generation = generation_] {
            if (generation == generation_ && port_.PortOpen())
                emit opened();
        },
        Qt::QueuedConnection);
    return {};
}

Result<void> SerialLine::write(QByteArrayView text) {
    return port_.setOutput(text);
}

Result<qint64> SerialLine::queued() {
    resumeRetries();
    return port_.OutBufferCount();
}

// Called once nothing is queued: the port closes at once.
void SerialLine::finish() {
    port_.close();
    QMetaObject::invokeMethod(
        this,
        [this, generation = generation_] {
            if (generation == generation_)
                emit closed();
        },
        Qt::QueuedConnection);
}

void SerialLine::abort() {
    ++generation_;
    pausedRetries_.clear();
    port_.close();
}

void SerialLine::portError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || !port_.PortOpen())
        return;
    const QString reason = port_.port().errorString();
#if !defined(Q_OS_WIN)
    if (reason == qt_error_string(EAGAIN)) {
        // The driver's buffer is full: the character stays with QSerialPort until the line takes
        // it. QSerialPort tries again each time the system calls the port writable, which a
        // driver with too little room may keep doing; its write notifier rests until the next
        // queued() instead.
        port_.port().clearError();
        for (QSocketNotifier* notifier : port_.port().findChildren<QSocketNotifier*>()) {
            if (notifier->type() == QSocketNotifier::Write && notifier->isEnabled()) {
                notifier->setEnabled(false);
                pausedRetries_ = notifier;
            }
        }
        return;
    }
#endif
    emit failed(reason);
}

void SerialLine::resumeRetries() {
    if (pausedRetries_) {
        pausedRetries_->setEnabled(true);
        pausedRetries_.clear();
    }
}

} // namespace orvane
