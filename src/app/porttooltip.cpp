#include "porttooltip.h"

#include "porttable.h"

#include <QEvent>

namespace orvane {

namespace {

class PortToolTipFilter : public QObject {
public:
    PortToolTipFilter(QWidget* widget, std::function<int()> port)
        : QObject(widget), widget_(widget), port_(std::move(port)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::ToolTip)
            widget_->setToolTip(PortTable::toolTip(port_()));
        return false; // the widget shows the tooltip as usual
    }

private:
    QWidget* widget_;
    std::function<int()> port_;
};

} // namespace

void followPortToolTip(QWidget* widget, std::function<int()> port) {
    widget->installEventFilter(new PortToolTipFilter(widget, std::move(port)));
}

} // namespace orvane
