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

}  // namespace orvalin::x11
