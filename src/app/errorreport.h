#pragma once

#include "seam.h"

#include <QString>
#include <functional>

class QWidget;

namespace orvane {

// Shows a failure to the user in a warning box over parent; the program goes on afterwards.
void ReportError(QWidget* parent, const QString& title, const QString& text);

// Stands in for the warning box while it lives (tests collect the messages through this, since a
// modal box would wait for a user).
using ErrorHandler =
    std::function<void(QWidget* parent, const QString& title, const QString& text)>;
struct ScopedErrorHandler : Seam<ErrorHandler>::Override {
    explicit ScopedErrorHandler(ErrorHandler handler);
};

} // namespace orvane
