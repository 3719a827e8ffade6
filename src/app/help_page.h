#pragma once

#include <filesystem>
#include <string>

#include "core/interface_language.h"

namespace orvalin {

// The help page installed with the program in the interface's language (the English one where
// the French is missing), looked up relative to the running binary so the same build works from
// its build folder, an install prefix and the package. A `file://` address, or the web site's help
// page when no installed copy is found.
std::string helpPageUrl(const std::filesystem::path& binaryDir, const std::string& website,
                        InterfaceLanguage language);

// The folder of the running binary (the real one, even if it was replaced on disk meanwhile).
std::filesystem::path runningBinaryDir();

}  // namespace orvalin
