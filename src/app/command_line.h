#pragma once

#include <string>
#include <vector>

namespace orvalin {

// What the command line asks for. Parsed before anything starts, so --help and --version work
// without a display and a bad option starts nothing.
struct CommandLine {
    enum class Action { Run, Show, PrintVersion, PrintHelp, Error };
    Action action = Action::Run;
    std::string text;  // what to print: the version line, the help, or the error and usage
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace orvalin
