#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/route_choice.h"

namespace orvalin {

// What the command line asks for. Parsed before anything starts, so --help and --version work
// without a display and a bad option starts nothing.
struct CommandLine {
    enum class Action { Run, Show, PrintVersion, PrintHelp, Error };
    Action action = Action::Run;
    std::string text;  // what to print: the version line, the help, or the error and usage
    std::optional<Route> route = std::nullopt;  // --route: nothing for the session's own choice
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace orvalin
