#include "downloadjob.h"

#include <QCoreApplication>
#include <QThread>

namespace orvane {

DownloadJob::DownloadJob(QObject* parent) : QObject(parent) {}

DownloadJob::~DownloadJob() {
    if (!thread_)
        return;
    // Nobody hears of this download any more; the thread may be waiting for a status text to be
    // taken here, so this thread goes on taking them until it ends.
    disconnect(this, nullptr, nullptr, nullptr);
    disconnect(thread_, nullptr, this, nullptr);
    while (!thread_->wait(10))
        QCoreApplication::processEvents();
    delete thread_;
}

void DownloadJob::start(const SerialPort& port, DotPattern picture, qint16 speed,
                        DownloadFrame& frame) {
    Q_ASSERT(!thread_);
    const int commPort = port.CommPort();
    const QString device = port.explicitDevice();
    result_ = {};
    thread_ =
        QThread::create([this, commPort, device, picture = std::move(picture), speed, &frame] {
            // The line is opened, written and drained in this thread only.
            SerialPort line;
            line.setCommPort(commPort);
            line.setDevice(device);
            result_ = runDownload(
                line, frame, picture.reader(), [speed] { return speed; },
                [this](const QString& text) {
                    QMetaObject::invokeMethod(
                        this, [this, text] { emit status(text); }, Qt::BlockingQueuedConnection);
                });
        });
    connect(thread_, &QThread::finished, this, [this] {
        thread_->deleteLater();
        thread_ = nullptr;
        emit finished(result_);
    });
    thread_->start();
}

} // namespace orvane
