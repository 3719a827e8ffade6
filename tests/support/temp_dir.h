#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>

// A fresh folder of our own under the system's temporary folder, removed with all it holds, even
// what a test left without permissions.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "orvalin-test") {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a folder like " + pattern);
        path_ = pattern;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        if (kept_) return;
        std::error_code ec;
        openUp(path_);
        std::filesystem::remove_all(path_, ec);
    }

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& sub) const { return path_ / sub; }
    // Leaves the folder in place, for looking into a failure.
    void keep() { kept_ = true; }

private:
    static void openUp(const std::filesystem::path& dir) {
        std::error_code ec;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
            if (entry.is_directory(ec) && !entry.is_symlink(ec)) openUp(entry.path());
        }
    }

    std::filesystem::path path_;
    bool kept_ = false;
};

// The whole content of a file; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
