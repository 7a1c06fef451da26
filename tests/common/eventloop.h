#pragma once

#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace orvane::testing {

// True once `done` holds, false when it still does not after `timeoutMs`. It waits in the event
// loop, as the programs do, not in QTRY_'s 10 ms sleeps.
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
