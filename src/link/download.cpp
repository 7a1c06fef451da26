#include "download.h"

#include <QCoreApplication>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Download)
};
} // namespace

DownloadResult runDownload(SerialPort& port, DownloadFrame& frame, const CellTextReader& cells,
                           const SpeedReader& speed, const DownloadStatus& status) {
    DownloadResult result;
    const auto report = [&status](const QString& text) {
        if (status)
            status(text);
    };
    if (!port.setPortOpen(true)) {
        result.error = Text::tr("Cannot open %1: %2").arg(port.description(), port.errorString());
        return result;
    }
    report(DownloadStartText);

    const bool allSent = frame.send(
        cells, speed,
        [&](char c) {
            if (!port.setOutput(QByteArrayView(&c, 1)))
                return false;
            ++result.sent;
            return true;
        },
        [&](int col) { report(QString::number(col)); });

    if (!allSent) {
        result.error = Text::tr("Sending to %1 failed after %2 of %3 characters: %4")
                           .arg(port.description(), QString::number(result.sent),
                                QString::number(DownloadFrame::Length), port.errorString());
        port.setPortOpen(false);
        return result;
    }
    if (!port.setPortOpen(false)) {
        result.error = Text::tr("Finishing the download on %1 failed: %2")
                           .arg(port.description(), port.errorString());
        return result;
    }
    report(DownloadCompleteText);
    result.ok = true;
    return result;
}

} // namespace orvane
