#pragma once

// What orvane-send does once its arguments are parsed: makes the picture from its source, then
// writes it to each output asked for and sends it through the serial layer exactly as
// "Down Load" does.

#include "options.h"

#include <cstdio>

namespace orvane {

// True when the stream is a terminal.
bool isTerminal(std::FILE* stream);

// Runs the command and returns its exit code. The frame and the picture go to `out`; messages
// and, when `progress` is set, a one-line progress display go to `err`.
int runSend(const SendOptions& options, std::FILE* out, std::FILE* err, bool progress);

} // namespace orvane
