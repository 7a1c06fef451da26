#pragma once

#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace orvane::testing {

// Whether `done` holds within `timeoutMs`, waited for in the event loop, not in QTRY_'s sleeps.
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
