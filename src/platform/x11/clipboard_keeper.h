#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orvalin::x11 {

// What the program still serves on a selection when it ends: the user's content it put back
// after an insertion.
struct KeptSelection {
    std::string selection;                                   // "CLIPBOARD" or "PRIMARY"
    std::vector<std::pair<std::string, std::string>> items;  // (MIME type, bytes)
    friend bool operator==(const KeptSelection&, const KeptSelection&) = default;
};

// The form in which the ending program hands its selections to the keeper over a pipe.
std::string encodeKeptSelections(const std::vector<KeptSelection>& kept);
// Nothing (an empty list) when the bytes are not a whole, well-formed encoding.
std::vector<KeptSelection> decodeKeptSelections(const std::string& bytes);

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
