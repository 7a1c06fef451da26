#include "gridprobe.h"

#include "beep.h"

namespace orvane::testing {

BeepCounter::BeepCounter() {
    setBeepHandler([this] { ++count_; });
}

BeepCounter::~BeepCounter() {
    setBeepHandler({});
}

} // namespace orvane::testing
