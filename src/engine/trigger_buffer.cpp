#include "engine/trigger_buffer.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>

#include <algorithm>
#include <cstring>

namespace orvalin {

namespace {

bool isAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

std::unique_ptr<icu::BreakIterator> makeCharacterIterator() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) return nullptr;
    return it;
}

// Cluster start offsets of UTF-8 `text`, each plus `base`, appended to `starts`.
void segment(icu::BreakIterator* it, UText* ut, std::string_view text, std::uint32_t base,
             std::vector<std::uint32_t>& starts) {
    if (text.empty()) return;
    UErrorCode status = U_ZERO_ERROR;
    if (it != nullptr) {
        utext_openUTF8(ut, text.data(), static_cast<int64_t>(text.size()), &status);
        if (U_SUCCESS(status)) it->setText(ut, status);
        if (U_SUCCESS(status)) {
            for (int32_t b = it->first();
                 b != icu::BreakIterator::DONE && static_cast<std::size_t>(b) < text.size(); b = it->next()) {
                starts.push_back(base + static_cast<std::uint32_t>(b));
            }
            return;
        }
    }
    // Without ICU's break rules, fall back to one cluster per code point.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            starts.push_back(base + static_cast<std::uint32_t>(i));
    }
}

}  // namespace

struct TriggerBuffer::Icu {
    std::unique_ptr<icu::BreakIterator> characters = makeCharacterIterator();
    const icu::Normalizer2* nfc = nullptr;
    UText text = UTEXT_INITIALIZER;

    Icu() {
        UErrorCode status = U_ZERO_ERROR;
        nfc = icu::Normalizer2::getNFCInstance(status);
        if (U_FAILURE(status)) nfc = nullptr;
    }
    ~Icu() { utext_close(&text); }
};

TriggerBuffer::TriggerBuffer() : icu_(std::make_unique<Icu>()) {
    // Room for 30 clusters of a few code points each, so ordinary typing never reallocates.
    text_.reserve(256);
    starts_.reserve(2 * kMaxGraphemes + 8);
    scratch_.reserve(256);
}

TriggerBuffer::~TriggerBuffer() = default;

void TriggerBuffer::append(std::string_view characters) {
    if (characters.empty()) return;
    if (characters.size() > 4 * kMaxBytes) {
        // Only the end of a huge text can stay; cut it on a code point boundary.
        std::size_t from = characters.size() - 4 * kMaxBytes;
        while (from < characters.size() && (static_cast<unsigned char>(characters[from]) & 0xC0) == 0x80)
            ++from;
        characters.remove_prefix(from);
    }
    bool lastIsPlainAscii =
        starts_.empty() || (text_.size() - starts_.back() == 1 &&
                            static_cast<unsigned char>(text_.back()) < 0x80 && text_.back() != '\r');
    if (lastIsPlainAscii && isAscii(characters)) {
        appendAscii(characters);
    } else {
        appendGeneral(characters);
    }
    trim();
}

// ASCII after an ASCII cluster other than CR: every byte is a cluster of its own, except that
// CR LF stays one cluster; ASCII is already in NFC.
void TriggerBuffer::appendAscii(std::string_view characters) {
    for (char c : characters) {
        if (!(c == '\n' && !text_.empty() && text_.back() == '\r')) {
            starts_.push_back(static_cast<std::uint32_t>(text_.size()));
        }
        text_.push_back(c);
    }
}

// Anything else: the last cluster and the new text are composed and segmented again together,
// since a combining mark, a joiner or a second regional indicator extends the cluster before it.
void TriggerBuffer::appendGeneral(std::string_view characters) {
    std::size_t offset = 0;
    if (!starts_.empty()) {
        offset = starts_.back();
        starts_.pop_back();
    }
    scratch_.assign(text_, offset, std::string::npos);
    scratch_.append(characters);
    text_.resize(offset);
    text_ += toNfc(scratch_);
    resegmentFrom(offset);
}

void TriggerBuffer::resegmentFrom(std::size_t offset) {
    std::string_view tail(text_.data() + offset, text_.size() - offset);
    segment(icu_->characters.get(), &icu_->text, tail, static_cast<std::uint32_t>(offset), starts_);
}

void TriggerBuffer::trim() {
    std::size_t drop = starts_.size() > kMaxGraphemes ? starts_.size() - kMaxGraphemes : 0;
    while (drop < starts_.size() && text_.size() - starts_[drop] > kMaxBytes) ++drop;
    if (drop == 0) return;
    if (drop >= starts_.size()) {
        clear();
        return;
    }
    std::uint32_t cut = starts_[drop];
    text_.erase(0, cut);
    starts_.erase(starts_.begin(), starts_.begin() + static_cast<std::ptrdiff_t>(drop));
    for (auto& s : starts_) s -= cut;
}

void TriggerBuffer::removeLast() {
    if (starts_.empty()) return;
    text_.resize(starts_.back());
    starts_.pop_back();
}

void TriggerBuffer::clear() {
    text_.clear();
    starts_.clear();
}

bool TriggerBuffer::endsWith(std::string_view trigger) const {
    if (trigger.empty() || trigger.size() > text_.size()) return false;
    if (trigger.back() != text_.back()) return false;
    std::size_t pos = text_.size() - trigger.size();
    if (std::memcmp(text_.data() + pos, trigger.data(), trigger.size()) != 0) return false;
    return std::binary_search(starts_.begin(), starts_.end(), static_cast<std::uint32_t>(pos));
}

std::size_t TriggerBuffer::countGraphemes(std::string_view text) {
    std::string composed = toNfc(text);
    std::vector<std::uint32_t> starts;
    auto it = makeCharacterIterator();
    UText ut = UTEXT_INITIALIZER;
    segment(it.get(), &ut, composed, 0, starts);
    utext_close(&ut);
    return starts.size();
}

std::string TriggerBuffer::toNfc(std::string_view text) {
    icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    std::string out;
    if (U_SUCCESS(status) && nfc != nullptr) {
        icu::UnicodeString composed = nfc->normalize(unicode, status);
        if (U_SUCCESS(status)) {
            composed.toUTF8String(out);
            return out;
        }
    }
    unicode.toUTF8String(out);
    return out;
}

}  // namespace orvalin
