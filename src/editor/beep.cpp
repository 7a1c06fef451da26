#include "beep.h"

#include <QApplication>

namespace orvane {

namespace {
Seam<std::function<void()>>& handler() {
    static Seam<std::function<void()>> seam;
    return seam;
}
} // namespace

void Beep() {
    if (handler().get())
        handler().get()();
    else
        QApplication::beep();
}

ScopedBeep::ScopedBeep(std::function<void()> h) : Override(handler(), std::move(h)) {}

} // namespace orvane
