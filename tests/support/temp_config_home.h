#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

// A fresh XDG_CONFIG_HOME for each test, removed afterwards.
class TempConfigHome : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) savedXdg_ = old;
        setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    }
    void TearDown() override {
        if (savedXdg_)
            setenv("XDG_CONFIG_HOME", savedXdg_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    std::filesystem::path prefsDir() const { return root_ / "orvalin"; }
    std::filesystem::path prefsFile() const { return prefsDir() / "preferences.json"; }

    static std::string readFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
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
    std::optional<std::string> savedXdg_;
};
