#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvalin {

// The characters typed since the last reset, counted as the user sees them (grapheme clusters),
// kept in Unicode canonical composition (NFC) so that "é" typed precomposed and "e" followed by a
// combining accent are the same text. Only the last `maxGraphemes` clusters are kept.
//
// Ordinary key presses (ASCII text) touch no heap once the buffer has grown to its working size;
// other text goes through ICU's grapheme-cluster break iterator, re-examining only the last cluster.
class TriggerBuffer {
public:
    static constexpr std::size_t kMaxGraphemes = 30;
    // Upper bound on the bytes kept, against pathological clusters (thousands of combining marks):
    // the oldest clusters go first, and a single cluster larger than this empties the buffer.
    static constexpr std::size_t kMaxBytes = 1024;

    TriggerBuffer();
    ~TriggerBuffer();
    TriggerBuffer(const TriggerBuffer&) = delete;
    TriggerBuffer& operator=(const TriggerBuffer&) = delete;

    // Appends UTF-8 text (ill-formed sequences become U+FFFD), then drops the oldest clusters
    // beyond `kMaxGraphemes`.
    void append(std::string_view characters);
    // Removes the last grapheme cluster; nothing when empty.
    void removeLast();
    void clear();

    std::string_view text() const { return text_; }
    std::size_t graphemeCount() const { return starts_.size(); }
    bool empty() const { return text_.empty(); }

    // True when `trigger` (already in NFC) is a suffix of the buffer that begins on a cluster
    // boundary: a trigger never matches the tail of a cluster (the "e" of "e"+U+0301 stays part of
    // "é", and a trigger starting with a combining mark cannot borrow the letter before it).
    bool endsWith(std::string_view trigger) const;

    // Number of grapheme clusters in `text`, as this buffer counts them (a trigger's Backspaces).
    static std::size_t countGraphemes(std::string_view text);
    // `text` in canonical composition (NFC), ill-formed UTF-8 replaced by U+FFFD.
    static std::string toNfc(std::string_view text);

private:
    void appendAscii(std::string_view characters);
    void appendGeneral(std::string_view characters);
    void resegmentFrom(std::size_t offset);
    void trim();

    struct Icu;
    std::unique_ptr<Icu> icu_;
    std::string text_;                   // UTF-8, NFC
    std::vector<std::uint32_t> starts_;  // byte offset of each cluster in text_, ascending
    std::string scratch_;
};

}  // namespace orvalin
