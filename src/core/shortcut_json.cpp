#include "core/shortcut_json.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

namespace orvalin {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

class DecodeError {
public:
    explicit DecodeError(std::string what) : what_(std::move(what)) {}
    const std::string& what() const { return what_; }

private:
    std::string what_;
};

const json& member(const json& object, const char* key, const std::string& where) {
    auto it = object.find(key);
    if (it == object.end()) throw DecodeError(where + ": missing \"" + key + "\"");
    return *it;
}

std::string stringMember(const json& object, const char* key, const std::string& where) {
    const json& value = member(object, key, where);
    if (!value.is_string()) throw DecodeError(where + ": \"" + key + "\" is not a string");
    return value.get<std::string>();
}

std::uint32_t uint32Member(const json& object, const char* key, const std::string& where) {
    const json& value = member(object, key, where);
    constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
    if (value.is_number_unsigned()) {
        auto n = value.get<std::uint64_t>();
        if (n <= kMax) return static_cast<std::uint32_t>(n);
    } else if (value.is_number_integer()) {
        auto n = value.get<std::int64_t>();
        if (n >= 0 && n <= static_cast<std::int64_t>(kMax)) return static_cast<std::uint32_t>(n);
    } else if (value.is_number_float()) {
        // An integral value written as 5.0 still names the same key.
        double d = value.get<double>();
        if (std::isfinite(d) && d >= 0 && d <= kMax && std::floor(d) == d)
            return static_cast<std::uint32_t>(d);
    } else {
        throw DecodeError(where + ": \"" + key + "\" is not a number");
    }
    throw DecodeError(where + ": \"" + key + "\" is outside 0..4294967295");
}

GlobalShortcut decodeGlobalShortcut(const json& object, const std::string& where) {
    if (!object.is_object()) throw DecodeError(where + ": \"globalShortcut\" is not an object");
    GlobalShortcut g;
    g.keyCode = uint32Member(object, "keyCode", where + ".globalShortcut");
    g.modifiers = uint32Member(object, "modifiers", where + ".globalShortcut");
    g.display = stringMember(object, "display", where + ".globalShortcut");
    return g;
}

// Members always written from the entry's fields, then the two written only when set.
constexpr std::array<const char*, 5> kRequiredKeys{"id", "label", "dateFormat", "trigger", "globalShortcut"};
constexpr std::array<const char*, 2> kOptionalKeys{"dayOffset", "locale"};

bool isOwnKey(const std::string& key) {
    const auto is = [&](const char* own) { return key == own; };
    return std::any_of(kRequiredKeys.begin(), kRequiredKeys.end(), is) ||
           std::any_of(kOptionalKeys.begin(), kOptionalKeys.end(), is);
}

// Whole days within the accepted range, 2.0 included; anything else is no offset.
std::optional<int> dayOffsetValue(const json& value) {
    constexpr int kMax = Shortcut::kMaxDayOffset;
    if (value.is_number_unsigned()) {
        const auto n = value.get<std::uint64_t>();
        if (n <= static_cast<std::uint64_t>(kMax)) return static_cast<int>(n);
    } else if (value.is_number_integer()) {
        const auto n = value.get<std::int64_t>();
        if (n >= -kMax && n <= kMax) return static_cast<int>(n);
    } else if (value.is_number_float()) {
        const double d = value.get<double>();
        if (std::isfinite(d) && std::fabs(d) <= kMax && std::floor(d) == d) return static_cast<int>(d);
    }
    return std::nullopt;
}

// The two optional members, and whatever this version cannot use kept aside as it was.
void decodeOptionalMembers(const json& object, Shortcut& s) {
    json kept = json::object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const std::string& key = it.key();
        if (key == "dayOffset") {
            if (auto days = dayOffsetValue(*it)) {
                s.dayOffset = *days;
            } else {
                kept[key] = *it;
            }
        } else if (key == "locale") {
            if (it->is_string()) {
                s.locale = it->get<std::string>();
            } else {
                kept[key] = *it;
            }
        } else if (!isOwnKey(key)) {
            kept[key] = *it;
        }
    }
    if (!kept.empty()) s.keptMembers = kept.dump();
}

Shortcut decodeShortcut(const json& object, const std::string& where) {
    if (!object.is_object()) throw DecodeError(where + " is not an object");
    Shortcut s;
    std::string idText = stringMember(object, "id", where);
    auto id = Uuid::parse(idText);
    if (!id) throw DecodeError(where + ": \"id\" is not a UUID");
    s.id = *id;
    s.label = stringMember(object, "label", where);
    s.dateFormat = stringMember(object, "dateFormat", where);
    s.trigger = stringMember(object, "trigger", where);
    if (auto it = object.find("globalShortcut"); it != object.end() && !it->is_null()) {
        s.globalShortcut = decodeGlobalShortcut(*it, where);
    }
    decodeOptionalMembers(object, s);
    return s;
}

// The kept members no member written from the entry's fields stands for. A kept offset or
// language stands until the user chooses one; the other own keys are never taken from there.
json keptToWrite(const Shortcut& s) {
    json kept = json::parse(s.keptMembers, nullptr, /*allow_exceptions=*/false);
    if (!kept.is_object()) return json::object();
    for (const char* own : kRequiredKeys) kept.erase(own);
    if (s.dayOffset != 0) kept.erase("dayOffset");
    if (!s.locale.empty()) kept.erase("locale");
    return kept;
}

// One entry's text: its own members in a fixed order, then the kept ones. Joined as text, since
// an ordered object looks each added key up among all before it.
std::string encodeShortcut(const Shortcut& s) {
    ordered_json object;
    object["id"] = s.id.toString();
    object["label"] = s.label;
    object["dateFormat"] = s.dateFormat;
    object["trigger"] = s.trigger;
    if (s.globalShortcut) {
        ordered_json g;
        g["keyCode"] = s.globalShortcut->keyCode;
        g["modifiers"] = s.globalShortcut->modifiers;
        g["display"] = s.globalShortcut->display;
        object["globalShortcut"] = std::move(g);
    }
    // Left out when unset, so that a list using neither reads the same to earlier versions.
    if (s.dayOffset != 0) object["dayOffset"] = s.dayOffset;
    if (!s.locale.empty()) object["locale"] = s.locale;
    std::string text = object.dump();
    if (s.keptMembers.empty()) return text;
    const json kept = keptToWrite(s);
    if (kept.empty()) return text;
    text.back() = ',';
    text.append(kept.dump(), 1);  // its members and closing brace
    return text;
}

}  // namespace

std::optional<std::string> encodeShortcuts(const std::vector<Shortcut>& shortcuts) {
    std::string text = "[";
    try {
        for (const Shortcut& s : shortcuts) {
            if (text.size() > 1) text += ',';
            text += encodeShortcut(s);
        }
    } catch (const json::exception&) {
        return std::nullopt;  // text that is not valid UTF-8 cannot be written as JSON
    }
    return text + "]";
}

std::optional<std::vector<Shortcut>> decodeShortcuts(std::string_view text, std::string* error) {
    json root = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
    if (root.is_discarded()) {
        if (error) *error = "not valid JSON";
        return std::nullopt;
    }
    if (!root.is_array()) {
        if (error) *error = "not a JSON array";
        return std::nullopt;
    }
    std::vector<Shortcut> result;
    result.reserve(root.size());
    try {
        for (std::size_t i = 0; i < root.size(); ++i) {
            result.push_back(decodeShortcut(root[i], "entry " + std::to_string(i)));
        }
    } catch (const DecodeError& e) {
        if (error) *error = e.what();
        return std::nullopt;
    }
    return result;
}

}  // namespace orvalin
