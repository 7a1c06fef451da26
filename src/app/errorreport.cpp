#include "errorreport.h"

#include <QMessageBox>

namespace orvane {

namespace {
Seam<ErrorHandler>& handler() {
    static Seam<ErrorHandler> seam;
    return seam;
}
} // namespace

void ReportError(QWidget* parent, const QString& title, const QString& text) {
    if (handler().get())
        handler().get()(parent, title, text);
    else
        QMessageBox::warning(parent, title, text);
}

ScopedErrorHandler::ScopedErrorHandler(ErrorHandler h) : Override(handler(), std::move(h)) {}

} // namespace orvane
