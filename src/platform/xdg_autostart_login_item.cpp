#include "platform/xdg_autostart_login_item.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>
#include <utility>

namespace orvalin {

namespace {

std::string trim(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// The first word of an Exec value, with desktop-entry quoting undone.
std::string execProgram(const std::string& exec) {
    std::string out;
    std::size_t i = 0;
    if (!exec.empty() && exec[0] == '"') {
        for (i = 1; i < exec.size() && exec[i] != '"'; ++i) {
            if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
            out += exec[i];
        }
        return out;
    }
    auto end = exec.find_first_of(" \t");
    return exec.substr(0, end);
}

// The escapes of a desktop-entry string: the character and the letter after the backslash.
constexpr std::pair<char, char> kStringEscapes[] = {{'\\', '\\'}, {'\n', 'n'}, {'\t', 't'}, {'\r', 'r'}};

// Undoes the escapes of a desktop-entry string (\s \n \t \r \\) and the %% of an Exec value.
std::string unescapeString(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            c = value[++i];
            if (c == 's') c = ' ';
            for (auto [plain, letter] : kStringEscapes) {
                if (c == letter) c = plain;
            }
        } else if (c == '%' && i + 1 < value.size() && value[i + 1] == '%') {
            ++i;
        }
        out += c;
    }
    return out;
}

// Whether the session could start `program`: an executable file, looked up in PATH when the entry
// gives a bare name.
bool isProgram(const std::filesystem::path& program) {
    if (program.is_absolute()) return ::access(program.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::string_view dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!dirs.empty()) {
        auto colon = dirs.find(':');
        std::filesystem::path dir(dirs.substr(0, colon));
        if (!dir.empty() && ::access((dir / program).c_str(), X_OK) == 0) return true;
        dirs = colon == std::string_view::npos ? std::string_view{} : dirs.substr(colon + 1);
    }
    return false;
}

std::string errorText(int err) {
    return std::error_code(err, std::generic_category()).message();
}

}  // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(std::filesystem::path file, std::filesystem::path executable)
    : file_(std::move(file)), executable_(std::move(executable)) {}

std::filesystem::path XdgAutostartLoginItem::defaultFile() {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        base = std::filesystem::path(home) / ".config";
    } else {
        base = "/tmp";
    }
    return base / "autostart" / "orvalin.desktop";
}

std::filesystem::path XdgAutostartLoginItem::currentExecutable() {
    return executableBehind("/proc/self/exe");
}

std::filesystem::path XdgAutostartLoginItem::executableBehind(const std::filesystem::path& procExeLink) {
    std::error_code ec;
    std::string target = std::filesystem::read_symlink(procExeLink, ec).string();
    if (ec) return "orvalin";
    // A binary replaced while it runs (a package upgrade) is shown as "<path> (deleted)": the
    // program to start next time is the one now at <path>.
    constexpr std::string_view kDeleted = " (deleted)";
    if (target.ends_with(kDeleted) && !std::filesystem::exists(target, ec)) {
        target.resize(target.size() - kDeleted.size());
    }
    return target;
}

bool XdgAutostartLoginItem::hasControlCharacter(const std::filesystem::path& executable) {
    const std::string s = executable.string();
    return std::any_of(s.begin(), s.end(), [](char c) {
        return (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) && c != '\n' && c != '\t' && c != '\r';
    });
}

std::string XdgAutostartLoginItem::execValue(const std::filesystem::path& executable) {
    const std::string s = executable.string();
    if (s.find_first_of(" \t\n\r\"'\\><~|&;$*?#()`=%") == std::string::npos) return s;
    std::string quoted = "\"";
    for (char c : s) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    // Inside an Exec value a literal % is written %%; then the value is escaped as any string of a
    // desktop entry is, so that a newline or tab in the path cannot start a line of its own.
    std::string out;
    for (char c : quoted) {
        if (c == '%') out += '%';
        const auto* escape = std::find_if(std::begin(kStringEscapes), std::end(kStringEscapes),
                                          [c](auto e) { return e.first == c; });
        if (escape != std::end(kStringEscapes)) {
            out += '\\';
            c = escape->second;
        }
        out += c;
    }
    return out;
}

std::optional<std::string> XdgAutostartLoginItem::registerItem() {
    // Control characters other than newline, tab and return have no escape in a desktop entry.
    if (hasControlCharacter(executable_))
        return QCoreApplication::translate("orvalin",
                                           "le chemin du programme contient un caractère de contrôle")
            .toStdString();
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    if (ec) return ec.message();
    std::ostringstream entry;
    entry << "[Desktop Entry]\n"
          << "Type=Application\n"
          << "Name=Orvalin\n"
          << "Comment=Inserts today's date\n"
          << "Comment[fr]=Insère la date du jour\n"
          << "Exec=" << execValue(executable_) << "\n"
          << "Icon=orvalin\n"
          << "Terminal=false\n"
          << "X-GNOME-Autostart-enabled=true\n";
    const std::string content = entry.str();
    // Written beside the entry and renamed over it: a crash never leaves half a file.
    std::filesystem::path tmp = file_;
    tmp += ".tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return errorText(errno);
    std::size_t done = 0;
    while (done < content.size()) {
        ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            ::unlink(tmp.c_str());
            return errorText(err);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return errorText(err);
    }
    if (::rename(tmp.c_str(), file_.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return errorText(err);
    }
    return std::nullopt;
}

std::optional<std::string> XdgAutostartLoginItem::unregisterItem() {
    if (::unlink(file_.c_str()) != 0 && errno != ENOENT) return errorText(errno);
    return std::nullopt;
}

LoginItemService::Status XdgAutostartLoginItem::status() {
    std::ifstream in(file_);
    if (!in) return Status::NotRegistered;
    bool inEntry = false;
    std::filesystem::path program;
    bool off = false;
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = trim(line.substr(0, eq));
        std::string value = trim(line.substr(eq + 1));
        if (key == "Exec") {
            program = execProgram(unescapeString(value));
        } else if (key == "Hidden" && value == "true") {
            off = true;
        } else if (key == "X-GNOME-Autostart-enabled" && value == "false") {
            off = true;
        }
    }
    // The same program installed elsewhere (an older path) still counts as this program.
    const bool namesUs =
        !program.empty() && (program == executable_ || program.filename() == executable_.filename());
    if (!namesUs || off) return Status::NotRegistered;
    return isProgram(program) ? Status::Enabled : Status::NotFound;
}

}  // namespace orvalin
