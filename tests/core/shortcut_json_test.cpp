#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/shortcut_json.h"

namespace orvalin {
namespace {

const char* kId = "6F9619FF-8B86-D011-B42D-00C04FC964FF";

std::string entry(const std::string& fields) {
    return R"({"id":")" + std::string(kId) + R"(","label":"L","dateFormat":"d","trigger":"t")" + fields + "}";
}

// The four keys in their order, the combination after them, ids upper-case.
TEST(ShortcutJson, EntriesAreWrittenWithTheirKeysInOrder) {
    const Shortcut plain{*Uuid::parse(kId), "Court", "dd/MM/yyyy ", "dtc ", std::nullopt};
    const Shortcut combined{*Uuid::parse("6f9619ff-8b86-d011-b42d-00c04fc964ff"), "a", "b", "c",
                            GlobalShortcut{2, 0x180000, "⌥⌘D"}};
    EXPECT_EQ(
        *encodeShortcuts({plain, combined}),
        R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","label":"Court","dateFormat":"dd/MM/yyyy ",)"
        R"("trigger":"dtc "},{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","label":"a","dateFormat":"b",)"
        R"("trigger":"c","globalShortcut":{"keyCode":2,"modifiers":1572864,"display":"⌥⌘D"}}])");
}

// The largest key code and odd texts included.
TEST(ShortcutJson, RoundTripKeepsOrderIdsAndEveryField) {
    std::vector<Shortcut> list{
        {Uuid::generate(), "Court", "dd/MM/yyyy ", "dtc ", std::nullopt},
        {Uuid::generate(), "", "'le' d", "", GlobalShortcut{4294967295u, 0, ""}},
        {Uuid::generate(), "émoji 📅", "EEEE \"q\" \\", "😀", GlobalShortcut{96, 0, "F5"}},
    };
    auto decoded = decodeShortcuts(*encodeShortcuts(list));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, list);
    EXPECT_EQ(*encodeShortcuts({}), "[]");
    EXPECT_EQ(decodeShortcuts("[]")->size(), 0u);
}

TEST(ShortcutJson, NullCombinationMeansNoneAndIsLeftOutWhenWrittenAgain) {
    auto decoded = decodeShortcuts("[" + entry(R"(,"globalShortcut":null)") + "]");
    ASSERT_TRUE(decoded);
    EXPECT_FALSE((*decoded)[0].globalShortcut);
    EXPECT_EQ(encodeShortcuts(*decoded)->find("globalShortcut"), std::string::npos);
}

TEST(ShortcutJson, ReadersAcceptAnyKeyOrderAndKeysTheyDoNotKnow) {
    auto decoded = decodeShortcuts(
        R"([{"extra":[1,2],"trigger":"t","globalShortcut":{"display":"x","modifiers":0,"keyCode":5.0,"z":1},)"
        R"("dateFormat":"d","label":"L","id":"6f9619ff-8b86-d011-b42d-00c04fc964ff"}])");
    ASSERT_TRUE(decoded);
    EXPECT_EQ((*decoded)[0].globalShortcut->keyCode, 5u);
    EXPECT_EQ((*decoded)[0].id.toString(), kId);
}

TEST(ShortcutJson, AnyBadElementRejectsTheWholeArray) {
    const std::string good = entry("");
    const std::vector<std::pair<std::string, std::string>> bad{
        {"missing id", R"({"label":"L","dateFormat":"d","trigger":"t"})"},
        {"missing label", R"({"id":")" + std::string(kId) + R"(","dateFormat":"d","trigger":"t"})"},
        {"missing trigger", R"({"id":")" + std::string(kId) + R"(","label":"L","dateFormat":"d"})"},
        {"label not a string",
         R"({"id":")" + std::string(kId) + R"(","label":1,"dateFormat":"d","trigger":"t"})"},
        {"id not a UUID", R"({"id":"not-a-uuid","label":"L","dateFormat":"d","trigger":"t"})"},
        {"id too short",
         R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964F","label":"L","dateFormat":"d","trigger":"t"})"},
        {"id is a number", R"({"id":5,"label":"L","dateFormat":"d","trigger":"t"})"},
        {"keyCode -1", entry(R"(,"globalShortcut":{"keyCode":-1,"modifiers":0,"display":""})")},
        {"keyCode 2^32", entry(R"(,"globalShortcut":{"keyCode":4294967296,"modifiers":0,"display":""})")},
        {"modifiers fractional", entry(R"(,"globalShortcut":{"keyCode":1,"modifiers":0.5,"display":""})")},
        {"keyCode string", entry(R"(,"globalShortcut":{"keyCode":"2","modifiers":0,"display":""})")},
        {"display missing", entry(R"(,"globalShortcut":{"keyCode":2,"modifiers":0})")},
        {"combination not an object", entry(R"(,"globalShortcut":[2,0,""])")},
        {"element not an object", R"("text")"},
    };
    for (const auto& [what, element] : bad) {
        std::string error;
        EXPECT_FALSE(decodeShortcuts("[" + good + "," + element + "]", &error)) << what;
        EXPECT_FALSE(error.empty()) << what;
    }
    for (const char* text : {"", "{}", "null", "[", "[1", "\x89PNG\r\n", "{\"a\":[]}"}) {
        EXPECT_FALSE(decodeShortcuts(text)) << text;
    }
}

// Set, they follow the combination; unset, the entry reads as it did before they existed.
TEST(ShortcutJson, OffsetAndLanguageAreWrittenOnlyWhenSet) {
    Shortcut s{*Uuid::parse(kId), "L", "d", "t", GlobalShortcut{2, 0, "D"}};
    s.dayOffset = -3650;
    s.locale = "en-US";
    EXPECT_EQ(*encodeShortcuts({s}),
              "[" +
                  entry(R"(,"globalShortcut":{"keyCode":2,"modifiers":0,"display":"D"},)"
                        R"("dayOffset":-3650,"locale":"en-US")") +
                  "]");
    auto decoded = decodeShortcuts(*encodeShortcuts({s}));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->front(), s);
    EXPECT_EQ(decodeShortcuts("[" + entry(R"(,"dayOffset":2.0,"locale":"")") + "]")->front().dayOffset, 2);
    EXPECT_EQ(*encodeShortcuts(*decodeShortcuts("[" + entry(R"(,"dayOffset":0,"locale":"")") + "]")),
              "[" + entry("") + "]");
}

// Out of range, fractional or of another type: no offset (or language), and the file keeps the
// value as it was until the user chooses another.
TEST(ShortcutJson, UnusableOffsetsAndLanguagesCountAsNoneAndAreWrittenBackAsTheyWere) {
    const std::vector<std::string> members{
        R"("dayOffset":3651)",   R"("dayOffset":-3651)",    R"("dayOffset":1.5)",
        R"("dayOffset":"1")",    R"("dayOffset":true)",     R"("dayOffset":null)",
        R"("dayOffset":[1])",    R"("dayOffset":{"d":1})",  R"("dayOffset":18446744073709551615)",
        R"("dayOffset":-1e300)", R"("locale":5)",           R"("locale":null)",
        R"("locale":["en-US"])", R"("locale":{"tag":"de"})"};
    for (const std::string& member : members) {
        auto decoded = decodeShortcuts("[" + entry("," + member) + "]");
        ASSERT_TRUE(decoded) << member;
        Shortcut& s = decoded->front();
        EXPECT_EQ(s.dayOffset, 0) << member;
        EXPECT_EQ(s.locale, "") << member;
        const std::string written = *encodeShortcuts(*decoded);
        EXPECT_EQ(nlohmann::json::parse(written), nlohmann::json::parse("[" + entry("," + member) + "]"))
            << written;
        EXPECT_EQ(decodeShortcuts(written), decoded) << member;

        // The user's choice replaces it, "today" and "the user's language" included.
        s.setDayOffset(0);
        s.setLocale("");
        EXPECT_EQ(*encodeShortcuts(*decoded), "[" + entry("") + "]") << member;
    }
}

TEST(ShortcutJson, UnknownKeysSurviveARoundTripAndTheirOrderDoesNotMatter) {
    const std::string unknown =
        R"("colour":"vert","nested":{"b":[1,{"c":null}],"a":"é"},"zeta":1.25,"big":12345678901234567890)";
    const std::string text = "[" + entry(R"(,"dayOffset":7,)" + unknown) + "]";
    auto decoded = decodeShortcuts(text);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->front().dayOffset, 7);
    const std::string written = *encodeShortcuts(*decoded);
    EXPECT_EQ(nlohmann::json::parse(written), nlohmann::json::parse(text)) << written;
    EXPECT_EQ(decodeShortcuts(written), decoded);

    auto reordered = decodeShortcuts(
        R"([{"zeta":1.25,"nested":{"a":"é","b":[1,{"c":null}]},"big":12345678901234567890,"dayOffset":7,)"
        R"("colour":"vert","trigger":"t","dateFormat":"d","label":"L","id":")" +
        std::string(kId) + R"("}])");
    EXPECT_EQ(reordered, decoded) << "the same entry, whatever the order of its keys";
    decoded->front().label = "M";
    EXPECT_NE(reordered, decoded);
    auto different = decodeShortcuts("[" + entry(R"(,"dayOffset":7,"colour":"rouge")") + "]");
    EXPECT_NE(different->front(), reordered->front()) << "an unknown key's value counts";
}

TEST(ShortcutJson, TextThatIsNotUtf8CannotBeEncoded) {
    Shortcut s{Uuid::generate(), std::string("\xff\xfe", 2), "d", "t", std::nullopt};
    EXPECT_FALSE(encodeShortcuts({s}));
}

}  // namespace
}  // namespace orvalin
