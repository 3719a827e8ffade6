#include "core/shortcut_json.h"

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
    return s;
}

}  // namespace

std::optional<std::string> encodeShortcuts(const std::vector<Shortcut>& shortcuts) {
    ordered_json array = ordered_json::array();
    for (const Shortcut& s : shortcuts) {
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
        array.push_back(std::move(object));
    }
    try {
        return array.dump();
    } catch (const json::exception&) {
        return std::nullopt;  // text that is not valid UTF-8 cannot be written as JSON
    }
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
