#pragma once

// A host name looked up on a thread of its own that nothing waits for. The system's resolver
// takes its own time (30 s and more when a name server does not answer), and the program must be
// free to end meanwhile, which Qt's lookups (QHostInfo) do not allow: its exit waits for them.
// An address given as such is taken as it is, without a thread.

#include "result.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

namespace orvane {

class HostLookup : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~HostLookup() override { cancel(); }

    // Looks `host` up; finished() follows from the event loop unless cancel() comes first.
    void start(const QString& host);
    // Drops the lookup under way, if any: its answer is never given.
    void cancel();

signals:
    // The addresses found in the resolver's order, at least one; or refused with the resolver's
    // reason (the refusal names no host).
    void finished(const orvane::Result<QList<QHostAddress>>& addresses);

private:
    struct Pending;
    void answer(const std::shared_ptr<Pending>& pending, const Result<QList<QHostAddress>>& found);

    std::shared_ptr<Pending> pending_;
};

} // namespace orvane
