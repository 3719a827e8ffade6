#pragma once

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

// A fresh home for a run of the program: HOME, XDG_CONFIG_HOME (.config) and a private
// XDG_RUNTIME_DIR (runtime). Kept after the test when ORVALIN_TEST_KEEP is set, for looking into
// a failure.
class TempHome {
public:
    TempHome() : dir_("orvalin-home") {
        std::filesystem::create_directories(configDir());
        std::filesystem::create_directories(runtimeDir());
        std::filesystem::permissions(runtimeDir(), std::filesystem::perms::owner_all);
        if (std::getenv("ORVALIN_TEST_KEEP") != nullptr) dir_.keep();
    }

    const std::filesystem::path& path() const { return dir_.path(); }
    std::filesystem::path configDir() const { return dir_ / ".config"; }
    std::filesystem::path runtimeDir() const { return dir_ / "runtime"; }

    // Points HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR of this process (and so of the programs it
    // starts) here.
    void exportEnvironment() const {
        setenv("HOME", path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", configDir().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtimeDir().c_str(), 1);
    }
    // Whether a running orvalin has its one-instance socket in this home's runtime folder.
    bool hasInstanceSocket() const {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(runtimeDir(), ec)) {
            if (entry.path().extension() == ".sock") return true;
        }
        return false;
    }

private:
    TempDir dir_;
};
