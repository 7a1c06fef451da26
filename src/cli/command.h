#pragma once

// orvane-send's whole command line, as main runs it: bad usage, --help, --version and the
// listings end at once; anything else is runSend's.

#include "send.h"

#include <QStringList>
#include <cstdio>
#include <memory>

namespace orvane {

// `arguments` begin with the program's name. When the returned run is not done yet, the
// caller's event loop must run until it emits finished().
std::unique_ptr<SendRun> runCommand(const QStringList& arguments, std::FILE* out, std::FILE* err,
                                    bool progress, DownloadDeadlines deadlines = {});

} // namespace orvane
