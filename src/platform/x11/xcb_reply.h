#pragma once

#include <cstdlib>
#include <memory>

namespace orvalin::x11 {

// xcb hands its replies over as malloc'd memory: this owns one until the scope ends.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

}  // namespace orvalin::x11
