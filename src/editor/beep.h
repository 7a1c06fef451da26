#pragma once

#include "seam.h"

#include <functional>

namespace orvane {

// Sounds the system beep. Clear, Set and a finished download end with one.
void Beep();

// Stands in for the beep while it lives (tests count beeps through this).
struct ScopedBeep : Seam<std::function<void()>>::Override {
    explicit ScopedBeep(std::function<void()> handler);
};

} // namespace orvane
