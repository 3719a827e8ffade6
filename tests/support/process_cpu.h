#pragma once

#include <sys/types.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

// The CPU a process spends while nothing is asked of it, in clock ticks (1/100 s on Linux).

// At most this over a few seconds of rest: timers of the toolkit, nothing that runs on its own.
constexpr long kRestingTicks = 8;

// User and system time of every thread of the process so far; -1 once it is gone.
inline long cpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold spaces and parentheses: fields are counted from its last ')'.
    const std::size_t name = stat.rfind(')');
    if (name == std::string::npos) return -1;
    std::istringstream fields(stat.substr(name + 1));
    std::string skipped;
    for (int field = 3; field < 14; ++field) fields >> skipped;  // state .. cmajflt
    long user = 0, system = 0;
    if (!(fields >> user >> system)) return -1;
    return user + system;
}

// The ticks the process spends over `span`; -1 when it ended meanwhile.
inline long ticksOver(pid_t pid, std::chrono::milliseconds span = std::chrono::seconds(3)) {
    const long before = cpuTicks(pid);
    std::this_thread::sleep_for(span);
    const long after = cpuTicks(pid);
    return before < 0 || after < 0 ? -1 : after - before;
}

// Whether ticksOver gave a process at rest (one that ended is not).
inline bool atRest(long ticks) {
    return ticks >= 0 && ticks <= kRestingTicks;
}
