#include "app/help_page.h"

#include <QUrl>
#include <string_view>
#include <system_error>

namespace orvalin {

namespace {

// Installed: <prefix>/bin/orvalin and <prefix>/share/orvalin/help/. Build tree: build/src/app/orvalin
// and build/share/orvalin/help/.
constexpr std::string_view kCandidates[] = {"../share/orvalin/help/index.html",
                                            "../../share/orvalin/help/index.html"};

}  // namespace

std::string helpPageUrl(const std::filesystem::path& binaryDir, const std::string& website) {
    for (std::string_view relative : kCandidates) {
        std::error_code ec;
        const auto page = std::filesystem::weakly_canonical(binaryDir / relative, ec);
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
