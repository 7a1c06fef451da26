#pragma once

// Keeps the application busy for as long as it lives: the windows go on painting, but every
// mouse, keyboard, touch, drop and close event is dropped (not queued for later), and the cursor
// shows that the program is working.

#include <QObject>

namespace orvane {

class BusyGuard : public QObject {
    Q_OBJECT

public:
    BusyGuard();
    ~BusyGuard() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace orvane
