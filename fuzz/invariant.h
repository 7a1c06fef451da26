#pragma once

// What a fuzz target does when the code under test breaks a promise: say which, and stop, so
// that libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>

namespace orvane::fuzz {

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

} // namespace orvane::fuzz
