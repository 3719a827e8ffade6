#pragma once

#include <iostream>
#include <sstream>
#include <string>

// What is written on std::cerr while `f` runs.
template <typename F>
std::string stderrOf(F f) {
    std::ostringstream said;
    std::streambuf* old = std::cerr.rdbuf(said.rdbuf());
    f();
    std::cerr.rdbuf(old);
    return said.str();
}
