#pragma once

#include <functional>

namespace orvane {

// Sounds the system beep. Clear, Set and a finished download end with one.
void Beep();

// Replaces the beep (tests count beeps through this). An empty handler restores the system beep.
void setBeepHandler(std::function<void()> handler);

} // namespace orvane
