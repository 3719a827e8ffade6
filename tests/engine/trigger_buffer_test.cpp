// The typed-character buffer: characters in the user's sense, composition, limits, odd input.

#include "engine/trigger_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace orvalin {
namespace {

const std::string kFrance = "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7";  // two regional indicators
const std::string kFamily = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
const std::string kCombiningAcute = "\xCC\x81";
const std::string kCombiningDotBelow = "\xCC\xA3";

TEST(TriggerBuffer, KeepsTheLastThirtyCharacters) {
    TriggerBuffer b;
    for (char c = 'a'; c < 'a' + 26; ++c) b.append(std::string(1, c));
    for (char c = 'A'; c < 'A' + 14; ++c) b.append(std::string(1, c));
    EXPECT_EQ(b.graphemeCount(), 30u);
    EXPECT_EQ(b.text(), "klmnopqrstuvwxyzABCDEFGHIJKLMN");
}

TEST(TriggerBuffer, CountsMultiCodePointCharactersAsOneAtTheLimit) {
    TriggerBuffer b;
    std::string expected;
    for (int i = 0; i < 31; ++i) {
        // Each flag arrives as two separate key presses, one regional indicator each.
        b.append(kFrance.substr(0, 4));
        b.append(kFrance.substr(4));
    }
    EXPECT_EQ(b.graphemeCount(), 30u);
    for (int i = 0; i < 30; ++i) expected += kFrance;
    EXPECT_EQ(b.text(), expected);

    b.append(kFamily);
    b.append("e");
    b.append(kCombiningAcute);
    EXPECT_EQ(b.graphemeCount(), 30u);
    EXPECT_TRUE(b.endsWith(kFamily + "\xC3\xA9"));
}

TEST(TriggerBuffer, ComposesAccentsAndKeepsMarksWithTheirLetter) {
    TriggerBuffer b;
    b.append("e");
    b.append(kCombiningAcute);
    EXPECT_EQ(b.text(), "\xC3\xA9") << "stored precomposed";
    EXPECT_EQ(b.graphemeCount(), 1u);

    b.clear();
    b.append("q");
    b.append(kCombiningAcute);
    b.append(kCombiningDotBelow);
    EXPECT_EQ(b.graphemeCount(), 1u);
    EXPECT_EQ(b.text(), "q" + kCombiningDotBelow + kCombiningAcute) << "canonical order of the marks";
    EXPECT_TRUE(b.endsWith(std::string(b.text())));
    EXPECT_FALSE(b.endsWith(kCombiningAcute)) << "not on a character boundary";
    EXPECT_FALSE(b.endsWith(""));
}

TEST(TriggerBuffer, BackspaceRemovesAWholeCharacter) {
    TriggerBuffer b;
    b.append("x");
    b.append(kFamily);
    b.append("\r");
    b.append("\n");
    EXPECT_EQ(b.graphemeCount(), 3u);
    b.removeLast();
    EXPECT_EQ(b.text(), "x" + kFamily) << "CR LF is one character";
    b.removeLast();
    EXPECT_EQ(b.text(), "x");
    b.removeLast();
    b.removeLast();
    EXPECT_TRUE(b.empty());
}

TEST(TriggerBuffer, IllFormedTextBecomesReplacementCharacters) {
    TriggerBuffer b;
    b.append("\xFF");
    b.append("a\xE2\x82");
    EXPECT_EQ(b.text(),
              "\xEF\xBF\xBD"
              "a\xEF\xBF\xBD");
    EXPECT_EQ(b.graphemeCount(), 3u);
}

TEST(TriggerBuffer, PathologicalClustersStayBounded) {
    TriggerBuffer b;
    b.append("ab");
    std::string zalgo = "z";
    for (int i = 0; i < 3000; ++i) zalgo += kCombiningAcute;
    b.append(zalgo);
    EXPECT_LE(b.text().size(), TriggerBuffer::kMaxBytes);
    EXPECT_TRUE(b.empty()) << "a single character larger than the bound cannot be kept";
    b.append("x");
    EXPECT_EQ(b.text(), "x");

    std::string marks;
    for (int i = 0; i < 100; ++i) marks += "y" + kCombiningAcute + kCombiningAcute + kCombiningAcute;
    for (int i = 0; i < 20; ++i) b.append(marks);
    EXPECT_LE(b.text().size(), TriggerBuffer::kMaxBytes);
    EXPECT_GT(b.graphemeCount(), 0u);
    EXPECT_LE(b.graphemeCount(), 30u);
}

TEST(TriggerBuffer, CountsCharactersOfATrigger) {
    EXPECT_EQ(TriggerBuffer::countGraphemes("dt "), 3u);
    EXPECT_EQ(TriggerBuffer::countGraphemes(kFamily), 1u);
    EXPECT_EQ(TriggerBuffer::countGraphemes(kFrance + kFrance), 2u);
    EXPECT_EQ(TriggerBuffer::countGraphemes("e" + kCombiningAcute + "\r\n"), 2u);
    EXPECT_EQ(TriggerBuffer::countGraphemes(""), 0u);
}

}  // namespace
}  // namespace orvalin
