#pragma once

#include <filesystem>

#include "engine/platform.h"

namespace orvalin {

// Start at login through the XDG autostart directory: a desktop entry naming the program's
// binary. It counts as enabled when the file exists, runs this program, that program is there,
// and the entry is not switched off (Hidden=true, X-GNOME-Autostart-enabled=false).
class XdgAutostartLoginItem : public LoginItemService {
public:
    // `file`: the desktop entry to manage; `executable`: absolute path of the program.
    XdgAutostartLoginItem(std::filesystem::path file, std::filesystem::path executable);

    // $XDG_CONFIG_HOME/autostart/orvalin.desktop (default ~/.config/autostart/).
    static std::filesystem::path defaultFile();
    // The running binary's absolute path.
    static std::filesystem::path currentExecutable();
    // The binary a process link (/proc/<pid>/exe) names, also once that binary was replaced.
    static std::filesystem::path executableBehind(const std::filesystem::path& procExeLink);

    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;
    Status status() override;

    // The Exec line's program path, quoted and escaped for a desktop entry where needed.
    static std::string execValue(const std::filesystem::path& executable);

private:
    // Control characters that a desktop entry cannot carry (all but newline, tab and return).
    static bool hasControlCharacter(const std::filesystem::path& executable);

    std::filesystem::path file_;
    std::filesystem::path executable_;
};

}  // namespace orvalin
