#include "porttooltip.h"

#include <QEvent>

namespace orvane {

namespace {

class PortToolTipFilter : public QObject {
public:
    PortToolTipFilter(QWidget* widget, std::function<QString()> tip)
        : QObject(widget), widget_(widget), tip_(std::move(tip)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::ToolTip)
            widget_->setToolTip(tip_());
        return false; // the widget shows the tooltip as usual
    }

private:
    QWidget* widget_;
    std::function<QString()> tip_;
};

} // namespace

void followPortToolTip(QWidget* widget, std::function<QString()> tip) {
    widget->installEventFilter(new PortToolTipFilter(widget, std::move(tip)));
}

} // namespace orvane
