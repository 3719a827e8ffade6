#pragma once

#include <string>
#include <vector>

#include "platform/x11/kept_selections.h"

namespace orvalin::x11 {

// The keeper: a small detached process, started from the program's own binary, that takes the
// selections read from `inputFd` and serves them to other clients until someone else takes each
// of them (as xclip does), or the display goes away. Returns the process's exit status.
int runClipboardKeeper(int inputFd);

// Starts the keeper detached (its own session, no terminal, nothing inherited but the pipe) with
// `kept`; false when it could not be started. `program` is the binary to run with
// `keeperArgument`.
inline constexpr const char* kKeeperArgument = "--keep-clipboard";
bool startClipboardKeeper(const std::string& program, const std::vector<KeptSelection>& kept);

}  // namespace orvalin::x11
