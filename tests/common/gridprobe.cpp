#include "gridprobe.h"

#include "beep.h"

namespace orvane::testing {} // namespace orvane::testing
