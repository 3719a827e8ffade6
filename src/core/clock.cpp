#include "core/clock.h"

namespace orvalin {

Instant SystemClock::now() const {
    return std::chrono::system_clock::now();
}

}  // namespace orvalin
