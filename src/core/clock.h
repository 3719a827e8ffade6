#pragma once

#include <chrono>

namespace orvalin {

using Instant = std::chrono::system_clock::time_point;

// Where "now" comes from for every date the program writes or shows. One interface, so that tests
// choose the day and a date never depends on when the test runs.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Instant now() const = 0;
};

// The machine's wall clock.
class SystemClock final : public Clock {
public:
    Instant now() const override;
};

}  // namespace orvalin
