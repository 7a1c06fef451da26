#pragma once

// What orvane-send does once its arguments are parsed: reads the pattern file with the editor's
// rules, then prints the frame or sends it through the serial layer exactly as "Down Load" does.

#include "options.h"

#include <cstdio>

namespace orvane {

// True when the stream is a terminal.
bool isTerminal(std::FILE* stream);

// Runs the command and returns its exit code. The frame goes to `out`; messages and, when
// `progress` is set, a one-line progress display go to `err`.
int runSend(const SendOptions& options, std::FILE* out, std::FILE* err, bool progress);

} // namespace orvane
