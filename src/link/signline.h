#pragma once

// What the download writes the frame to: a serial port on this computer (serialline.h) or a
// serial line behind a network server (networkline.h). Nothing here waits; each step is answered by
// a signal in the thread's event loop.
//
//   open()      opened(), or failed() with the reason; refused when the line cannot be opened at
//               all, and nothing follows
//   write(c)    written(n) once the characters have left this program (the driver or the
//               network took them)
//   queued()    how many of the written characters have not gone out on the sign's line yet
//   finish()    closed() once everything written has had time to reach the sign and the line is
//               closed
//   abort()     closes at once, dropping what has not gone out, and signals nothing more
//
// failed() may come at any time while the line is open (the device went away, the server closed
// the connection); the line is then closed. A refusal names the line by description().

#include "result.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>

namespace orvane {

class SignLine : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Names the line for messages: "port 3 (/dev/ttyS2)", "rfc2217://sign:2001".
    virtual QString description() const = 0;

    virtual Result<void> open() = 0;
    // Refused when the line cannot take them now.
    virtual Result<void> write(QByteArrayView text) = 0;
    // Refused when it cannot be known.
    virtual Result<qint64> queued() = 0;
    virtual void finish() = 0;
    virtual void abort() = 0;

signals:
    void opened();
    void written(qint64 count);
    void closed();
    void failed(const QString& reason);
};

} // namespace orvane
