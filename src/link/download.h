#pragma once

// The download: opens the port, sends the frame of the given picture and speed one character
// per write, drains and closes the port, and reports each step as a status text:
// "Download Start ......", then "0" .. "49" as the columns go out, then "Data Out Complete !"
// once every character has reached the line. Needs no window.

#include "downloadframe.h"
#include "serialport.h"

#include <QString>
#include <functional>

namespace orvane {

inline const QString DownloadStartText = QStringLiteral("Download Start ......");
inline const QString DownloadCompleteText = QStringLiteral("Data Out Complete !");

struct DownloadResult {
    bool ok = false;
    int sent = 0;  // characters the system took
    QString error; // what went wrong, naming the port and the system's reason
};

// Receives each status text as it happens.
using DownloadStatus = std::function<void(const QString& text)>;

// When the port cannot be opened nothing is sent and no status is given. When a write fails the
// port is closed, and "Data Out Complete !" is never given.
DownloadResult runDownload(SerialPort& port, DownloadFrame& frame, const CellTextReader& cells,
                           const SpeedReader& speed, const DownloadStatus& status);

} // namespace orvane
