#include "errorreport.h"

#include <QMessageBox>

namespace orvane {

namespace {
ErrorHandler& handler() {
    static ErrorHandler h;
    return h;
}
} // namespace

void ReportError(QWidget* parent, const QString& title, const QString& text) {
    if (handler())
        handler()(parent, title, text);
    else
        QMessageBox::warning(parent, title, text);
}

void setErrorHandler(ErrorHandler h) {
    handler() = std::move(h);
}

} // namespace orvane
