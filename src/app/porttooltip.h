#pragma once

// The tooltip of the port controls: "Port 6: /dev/ttyUSB1, FT232R USB UART (FTDI), present".

#include <QWidget>
#include <functional>

namespace orvane {

// Gives `widget` the tooltip that `tip` returns, found afresh each time the tooltip is about to
// show, so that a device plugged in or taken out meanwhile is seen.
void followPortToolTip(QWidget* widget, std::function<QString()> tip);

} // namespace orvane
