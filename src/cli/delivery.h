#pragma once

// The frame to every device at once: a download session of its own for each device, all in the
// one event loop, so each has its own deadlines and its own one-sender lock, and one that fails
// never stops the others.

#include "send.h"
#include "targets.h"

#include <cstdio>

namespace orvane {

// How many downloads may run at once: as many as the descriptors this process may still open
// allow (each holds a few), at least one; no limit on Windows.
int downloadsAtOnce();

// Starts a download to each target, as many at once as downloadsAtOnce() allows and the rest as
// those end; `run` ends once every one has ended, with ExitSent only when
// every device took the whole frame. With one target, `err` shows its progress (when `progress`)
// and a failure, as a single download always did; with several, each device's result is a line
// of its own as it ends, and the failures are named once all have ended.
void startDownloads(SendRun& run, const QList<Target>& targets, const DotPattern& picture,
                    Speed speed, std::FILE* err, bool progress);

} // namespace orvane
