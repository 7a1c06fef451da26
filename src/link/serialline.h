#pragma once

// A serial port on this computer as a SignLine (signline.h): the port's own signals answer each
// step, so a download goes the same way whether the sign is on a port here or behind a network
// server. The port opens at once; opened() follows from the event loop.

#include "serialport.h"
#include "signline.h"

#include <QPointer>

class QSocketNotifier;

namespace orvane {

class SerialLine : public SignLine {
    Q_OBJECT

public:
    // The numbered port or the device `target` names.
    explicit SerialLine(const LinkTarget& target, QObject* parent = nullptr);
    ~SerialLine() override;

    QString description() const override { return port_.description(); }
    Result<void> open() override;
    Result<void> write(QByteArrayView text) override;
    Result<qint64> queued() override;
    void finish() override;
    void abort() override;

private:
    void portError(QSerialPort::SerialPortError error);
    void resumeRetries();

    SerialPort port_;
    QPointer<QSocketNotifier> pausedRetries_;
    quint64 generation_ = 0; // a queued signal of an earlier opening is dropped
};

} // namespace orvane
