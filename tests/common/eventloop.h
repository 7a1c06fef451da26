#pragma once

// Runs the event loop until a condition holds. QTest's QTRY_ macros sleep 10 ms between rounds
// of events, which makes a download that needs a few rounds per character take seconds; this
// waits in the event loop itself, as the programs do.

#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace orvane::testing {

// True once `done` holds, false when it still does not after `timeoutMs`.
inline bool runUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(1);
    if (!done())
        loop.exec();
    return done();
}

} // namespace orvane::testing
