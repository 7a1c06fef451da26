#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace orvane {

// Shows a failure to the user in a warning box over parent; the program goes on afterwards.
void ReportError(QWidget* parent, const QString& title, const QString& text);

// Replaces the warning box (tests collect the messages through this, since a modal box would wait
// for a user). An empty handler restores the box.
using ErrorHandler =
    std::function<void(QWidget* parent, const QString& title, const QString& text)>;
void setErrorHandler(ErrorHandler handler);

} // namespace orvane
