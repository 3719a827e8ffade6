#include "platform/x11/kept_selections.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace orvalin::x11 {

namespace {

constexpr std::string_view kMagic = "orvalin-kept-1\n";

void putSize(std::string& out, std::size_t n) {
    const auto v = static_cast<std::uint32_t>(n);
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}
void putString(std::string& out, const std::string& s) {
    putSize(out, s.size());
    out += s;
}

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    std::optional<std::uint32_t> size() {
        std::uint32_t v = 0;
        if (bytes_.size() - pos_ < sizeof v) return std::nullopt;
        std::memcpy(&v, bytes_.data() + pos_, sizeof v);
        pos_ += sizeof v;
        return v;
    }
    std::optional<std::string> string() {
        auto n = size();
        if (!n || bytes_.size() - pos_ < *n) return std::nullopt;
        std::string s = bytes_.substr(pos_, *n);
        pos_ += *n;
        return s;
    }
    bool skip(std::string_view expected) {
        if (bytes_.compare(pos_, expected.size(), expected) != 0) return false;
        pos_ += expected.size();
        return true;
    }
    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    const std::string& bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string encodeKeptSelections(const std::vector<KeptSelection>& kept) {
    std::string out(kMagic);
    putSize(out, kept.size());
    for (const KeptSelection& k : kept) {
        putString(out, k.selection);
        putSize(out, k.items.size());
        for (const auto& [type, data] : k.items) {
            putString(out, type);
            putString(out, data);
        }
    }
    return out;
}

std::vector<KeptSelection> decodeKeptSelections(const std::string& bytes) {
    Reader in(bytes);
    if (!in.skip(kMagic)) return {};
    auto count = in.size();
    if (!count) return {};
    std::vector<KeptSelection> kept;
    for (std::uint32_t i = 0; i < *count; ++i) {
        KeptSelection k;
        auto name = in.string();
        auto items = in.size();
        if (!name || !items) return {};
        k.selection = *name;
        for (std::uint32_t j = 0; j < *items; ++j) {
            auto type = in.string();
            auto data = in.string();
            if (!type || !data) return {};
            k.items.emplace_back(std::move(*type), std::move(*data));
        }
        kept.push_back(std::move(k));
    }
    if (!in.atEnd()) return {};
    return kept;
}

}  // namespace orvalin::x11
