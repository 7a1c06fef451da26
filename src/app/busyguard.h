#pragma once

// Keeps the application busy for as long as it lives: the windows go on painting whenever
// paint() is called, but every mouse, keyboard, touch and close event is dropped (not queued for
// later), and the cursor shows that the program is working.

#include <QObject>

namespace orvane {

class BusyGuard : public QObject {
    Q_OBJECT

public:
    BusyGuard();
    ~BusyGuard() override;

    // Lets pending paint and window-system work run; user input that arrives is dropped.
    void paint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace orvane
