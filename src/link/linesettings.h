#pragma once

// The serial line to the sign: 300 baud, 8 data bits, no parity, 2 stop bits, no flow control.
// These are in force on the device from the moment the port opens.

#include <QSerialPort>

namespace orvane::LineSettings {

inline constexpr qint32 BaudRate = 300;
inline constexpr QSerialPort::DataBits DataBits = QSerialPort::Data8;
inline constexpr QSerialPort::Parity Parity = QSerialPort::NoParity;
inline constexpr QSerialPort::StopBits StopBits = QSerialPort::TwoStop;
inline constexpr QSerialPort::FlowControl FlowControl = QSerialPort::NoFlowControl;

} // namespace orvane::LineSettings
