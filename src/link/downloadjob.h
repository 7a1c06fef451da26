#pragma once

// A download on a thread of its own, so that the window that starts it goes on painting while
// the characters go out and the line drains (about 3.7 s at 300 baud). The characters, the
// status texts and their order are exactly those of runDownload: each status text is handed to
// the starting thread, and the next character waits until it has been shown there.

#include "download.h"

#include <QObject>
#include <memory>

class QThread;

namespace orvane {

class DownloadJob : public QObject {
    Q_OBJECT

public:
    explicit DownloadJob(QObject* parent = nullptr);
    ~DownloadJob() override;

    // Sends picture and speed through `port` (CommPort, or the device set on it) and returns at
    // once; `frame` holds the encoder's scratch state until finished() is emitted.
    void start(const SerialPort& port, DotPattern picture, qint16 speed, DownloadFrame& frame);
    bool isRunning() const { return thread_ != nullptr; }

signals:
    // In this object's thread, each as it happens.
    void status(const QString& text);
    // In this object's thread, once the port is closed.
    void finished(const orvane::DownloadResult& result);

private:
    QThread* thread_ = nullptr;
    DownloadResult result_;
};

} // namespace orvane
