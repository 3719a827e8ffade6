#include "platform/xdg_autostart_login_item.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

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
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path("orvalin") : p;
}

std::string XdgAutostartLoginItem::execValue(const std::filesystem::path& executable) {
    const std::string s = executable.string();
    if (s.find_first_of(" \t\n\"'\\><~|&;$*?#()`=%") == std::string::npos) return s;
    std::string quoted = "\"";
    for (char c : s) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    // Inside an Exec value a literal % is written %% and the backslash of the quoting is
    // itself escaped by the desktop-entry string rules.
    std::string out;
    for (char c : quoted) {
        if (c == '%') out += '%';
        if (c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::optional<std::string> XdgAutostartLoginItem::registerItem() {
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    if (ec) return ec.message();
    std::ostringstream entry;
    entry << "[Desktop Entry]\n"
          << "Type=Application\n"
          << "Name=Orvalin\n"
          << "Comment=Insère la date du jour\n"
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
    bool namesUs = false;
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
            // Undo the string-level escaping, then read the program word.
            std::string unescaped;
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (value[i] == '\\' && i + 1 < value.size())
                    ++i;
                else if (value[i] == '%' && i + 1 < value.size() && value[i + 1] == '%')
                    ++i;
                unescaped += value[i];
            }
            std::filesystem::path program = execProgram(unescaped);
            namesUs = program == executable_ || program.filename() == executable_.filename();
        } else if (key == "Hidden" && value == "true") {
            off = true;
        } else if (key == "X-GNOME-Autostart-enabled" && value == "false") {
            off = true;
        }
    }
    return namesUs && !off ? Status::Enabled : Status::NotRegistered;
}

}  // namespace orvalin
