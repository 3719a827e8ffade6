#include "app/help_page.h"

#include <QUrl>
#include <string_view>
#include <system_error>
#include <vector>

namespace orvalin {

namespace {

// Installed: <prefix>/bin/orvalin and <prefix>/share/orvalin/help/. Build tree: build/src/app/orvalin
// and build/share/orvalin/help/. The English page is at the top, the French one in fr/.
constexpr std::string_view kFolders[] = {"../share/orvalin/help", "../../share/orvalin/help"};

}  // namespace

std::string helpPageUrl(const std::filesystem::path& binaryDir, const std::string& website,
                        InterfaceLanguage language) {
    std::vector<std::filesystem::path> candidates;
    for (std::string_view folder : kFolders) {
        if (language == InterfaceLanguage::French) candidates.push_back(binaryDir / folder / "fr/index.html");
        candidates.push_back(binaryDir / folder / "index.html");
    }
    for (const auto& candidate : candidates) {
        std::error_code ec;
        const auto page = std::filesystem::weakly_canonical(candidate, ec);
        if (!ec && std::filesystem::is_regular_file(page, ec)) {
            return QUrl::fromLocalFile(QString::fromStdString(page.string()))
                .toString(QUrl::FullyEncoded)
                .toStdString();
        }
    }
    return website + "/help";
}

std::filesystem::path runningBinaryDir() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    // A binary replaced while running (a package upgrade) reads "… (deleted)"; its folder is the same.
    return exe.parent_path();
}

}  // namespace orvalin
