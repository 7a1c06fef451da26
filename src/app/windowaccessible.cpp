#include "windowaccessible.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QWidget>

namespace orvane {

namespace {

// Without this the window would be a plain "filler".
QAccessibleInterface* windowAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String("orvane::Form1") || !object || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

class TitleAnnouncer : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowTitleChange) {
            QAccessibleEvent named(watched, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&named);
        }
        return false;
    }
};

} // namespace

void makeWindowAccessible(QWidget* window) {
    static const bool installed = (QAccessible::installFactory(windowAccessible), true);
    Q_UNUSED(installed);
    window->installEventFilter(new TitleAnnouncer(window));
}

} // namespace orvane
