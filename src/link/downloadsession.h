#pragma once

// The download: opens the line, sends the frame of a picture and its speed one character per
// write, waits until the line has taken everything, closes it, and tells each step by a signal:
// started() once the line is being opened, columnSent(k) for k = 0 .. 49 as the columns go out
// on the line, then finished() with how it ended once the line is closed. What the user reads
// of them (the window's caption, orvane-send's progress) is the front end's to say.
//
// The line is a SignLine: a serial port on this computer (serialline.h), or, for a network link
// (socket://HOST:PORT, rfc2217://HOST:PORT), a NetworkLine (networkline.h), which connects in the
// event loop after start() has returned, follows its estimate of the far end's line, and closes
// once the frame has had time to leave that line.
//
// It runs in the thread that starts it, in that thread's event loop, and never waits there: the
// line's written() hands over the next character, and a short timer asks the line how much of
// what it took has not gone out yet. Column k is sent once its two digits have left the line's
// output queue, not when the line took them. Needs no window.

#include "downloadframe.h"
#include "linktarget.h"
#include "result.h"
#include "signline.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <optional>

namespace orvane {

// What a download that ended well did; a refusal names the port's device or network address.
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
    // A running download stops: the line is closed at once, what has not gone out is dropped,
    // and nothing more is emitted.
    ~DownloadSession() override;

    // Opens the line `target` names and starts sending picture and speed; returns at once, having
    // emitted started(). Refused when the line cannot be opened: nothing was sent or emitted. A
    // network line that cannot be reached or set up is reported through finished() instead.
    Result<void> start(const LinkTarget& target, const DotPattern& picture, Speed speed);
    bool isRunning() const { return running_; }
    // Characters the line took in the last download, so far; on a failure, those before it.
    int taken() const { return written_; }

signals:
    // The line is being opened; the frame follows.
    void started();
    // Column `column` (0 .. 49) has left the line, its two digits and all before them.
    void columnSent(int column);
    // Once the line is closed again; not when start() is refused. A result that is ok means the
    // whole frame has gone out.
    void finished(const orvane::Result<orvane::Delivery>& result);

private:
    void written(qint64 count);
    void queueStep();
    void step();
    void poll();
    void writeNext();
    void fail(const QString& reason);
    void opened();
    void finish();
    void report();
    Refusal failure(const QString& reason) const;

    const DownloadDeadlines deadlines_;
    SignLine* line_ = nullptr; // a child; the one of the last download until the next starts
    bool opened_ = false;
    bool closing_ = false;         // the line is holding the frame until it has gone out
    QByteArray bytes_;             // the frame being sent
    int handed_ = 0;               // characters handed to the line
    int written_ = 0;              // characters the line took
    int gone_ = 0;                 // characters that have left the line
    int nextColumn_ = 0;           // the column to be told next
    QElapsedTimer sinceLineMoved_; // since a character was taken or left
    QTimer poller_;
    std::optional<Refusal> failure_;
    bool stepQueued_ = false;
    bool running_ = false;
};

} // namespace orvane
