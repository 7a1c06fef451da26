#pragma once

// The download: opens the port, sends the frame of a picture and its speed one character per
// write, waits until the line has taken everything, closes the port, and reports each step as a
// status text: "Download Start ......", then "0" .. "49" as the columns go out on the line, then
// "Data Out Complete !" once the driver's output is empty and the port is closed.
//
// A port whose explicit device is a network name (socket://HOST:PORT, rfc2217://HOST:PORT) goes
// through a NetworkLine instead (networkline.h): connecting happens in the event loop after
// start() has returned, the column statuses follow its estimate of the far end's line, and
// "Data Out Complete !" comes once the frame has had time to leave that line and the connection
// is closed.
//
// It runs in the thread that starts it, in that thread's event loop, and never waits there:
// QSerialPort's bytesWritten() hands over the next character, and a short timer asks the driver
// how much of what it took has not gone out yet. Column k's status comes once its two digits
// have left the driver's output queue, not when the driver took them. Needs no window.

#include "downloadframe.h"
#include "networkline.h"
#include "serialport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace orvane {

inline const QString DownloadStartText = QStringLiteral("Download Start ......");
inline const QString DownloadCompleteText = QStringLiteral("Data Out Complete !");

// A refusal names the port's device or network address.
struct Delivery {
    int sent = 0; // characters the driver (or the network) took
};

struct DownloadDeadlines {
    // The longest the line may take no data (no character taken by the driver, none leaving its
    // queue) before the download fails. Output held back for a moment (XOFF, a full buffer) is
    // waited on for up to this long.
    std::chrono::milliseconds stall = std::chrono::seconds(5);
};

class DownloadSession : public QObject {
    Q_OBJECT

public:
    explicit DownloadSession(DownloadDeadlines deadlines = {}, QObject* parent = nullptr);
    // A running download stops: the port is closed at once, what has not gone out is dropped, and
    // nothing more is emitted.
    ~DownloadSession() override;

    // Opens the port `port` selects (its CommPort, or its explicit device) and starts sending
    // picture and speed; returns at once, having given "Download Start ......". False when the
    // port cannot be opened: nothing was sent or emitted, and result() says why. A network line
    // that cannot be reached or set up is reported through finished() instead.
    bool start(const SerialPort& port, const DotPattern& picture, Speed speed);
    bool isRunning() const { return running_; }
    // Of the last download, once finished() came or start() failed.
    const Result<Delivery>& result() const { return result_; }

signals:
    // Each status text as it happens.
    void status(const QString& text);
    // Once the port is closed again; not when start() returns false.
    void finished(const orvane::Result<orvane::Delivery>& result);

private:
    void bytesWritten(qint64 count);
    void portError(QSerialPort::SerialPortError error);
    void queueStep();
    void step();
    void poll();
    void writeNext();
    void fail(const QString& reason);
    void networkOpened();
    void finish();
    void report();
    QString description() const;
    Refusal failure(const QString& reason) const;

    const DownloadDeadlines deadlines_;
    SerialPort line_;
    std::unique_ptr<NetworkLine> network_; // instead of line_ while sending to a network name
    bool networkOpen_ = false;
    bool closing_ = false; // the network line is holding the frame until it has left the far end
    DownloadFrame frame_;
    QByteArray bytes_;             // the frame being sent
    int handed_ = 0;               // characters handed to QSerialPort
    int written_ = 0;              // characters the driver took
    int gone_ = 0;                 // characters that have left the driver
    int nextColumn_ = 0;           // the column whose status comes next
    QElapsedTimer sinceLineMoved_; // since a character was taken or left
    QTimer poller_;
    QPointer<QSocketNotifier> pausedRetries_;
    std::optional<Refusal> failure_;
    bool stepQueued_ = false;
    bool running_ = false;
    Result<Delivery> result_;
};

} // namespace orvane
