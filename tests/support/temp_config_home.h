#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

// A fresh XDG_CONFIG_HOME for each test, removed afterwards.
class TempConfigHome : public ::testing::Test {
protected:
    std::filesystem::path prefsDir() const { return root_ / "orvalin"; }
    std::filesystem::path prefsFile() const { return prefsDir() / "preferences.json"; }

    void writePrefs(const std::string& content) const {
        std::filesystem::create_directories(prefsDir());
        std::ofstream(prefsFile(), std::ios::binary) << content;
    }
    // Files in the preferences folder other than the preferences file itself.
    std::vector<std::filesystem::path> siblings() const {
        std::vector<std::filesystem::path> out;
        for (const auto& e : std::filesystem::directory_iterator(prefsDir())) {
            if (e.path() != prefsFile()) out.push_back(e.path());
        }
        return out;
    }

    TempDir home_;
    const std::filesystem::path root_ = home_.path();
    ScopedEnv xdg_{"XDG_CONFIG_HOME", root_.string()};
};
