#pragma once

// Advice for a serial device that the user may not open: on Linux a user must belong to the
// group that owns the device (usually "dialout").

#include <QString>

namespace orvane {

// When the permissions of `device` keep the current user from writing to it, says so, names
// the group that owns it and how to join that group. Empty otherwise, and on Windows.
QString permissionAdvice(const QString& device);

} // namespace orvane
