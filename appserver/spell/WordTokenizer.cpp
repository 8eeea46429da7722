#include "spell/WordTokenizer.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/EngineError.h"
#include "spell/AsciiWordBreaker.h"
#include "spell/LinkFinder.h"

namespace {

// Typical prose has a word every six bytes or so; reserving for that avoids most regrowth. A
// long text grows the list as it goes, so that one without words does not reserve megabytes.
constexpr size_t kBytesPerWordGuess = 6;
constexpr size_t kMaxReservedWords = 4096;
// A stretch for ICU takes in the ASCII text after it when another non-ASCII character follows
// within this many bytes: restarting the break iterator costs more than breaking them with it.
constexpr size_t kMinAsciiStretchBytes = 32;

icu::BreakIterator& ThreadBreakIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> it(
            icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || !it) throw EngineError("Word breaking is not available");
        return it;
    }();
    return *iterator;
}

bool HasLetter(std::u16string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        UChar32 c = s[i];
        if (c < 0x80) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
            continue;
        }
        if (U16_IS_LEAD(s[i]) && i + 1 < s.size() && U16_IS_TRAIL(s[i + 1]))
            c = U16_GET_SUPPLEMENTARY(s[i], s[i + 1]);
        if (u_isalpha(c)) return true;
    }
    return false;
}

bool HasLetter(std::string_view ascii) {
    return std::any_of(ascii.begin(), ascii.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

// Calls emit(start, length) for each part of the segment [begin, end) of `text` that holds a
// letter; the full stops and colons inside a segment separate its parts.
template <typename Char, typename Emit>
void ForEachPart(std::basic_string_view<Char> text, size_t begin, size_t end, Emit&& emit) {
    size_t start = begin;
    for (size_t i = begin; i <= end; ++i) {
        if (i < end && text[i] != '.' && text[i] != ':') continue;
        if (i > start && HasLetter(text.substr(start, i - start))) emit(start, i - start);
        start = i + 1;
    }
}

// Calls emit(begin, end) for each segment of `text` that ICU counts as a word (letters, digits,
// kana, ideographs), in text order.
template <typename Emit>
void ForEachIcuSegment(std::u16string_view text, Emit&& emit) {
    if (text.empty()) return;
    icu::BreakIterator& it = ThreadBreakIterator();
    // The iterator keeps a shallow clone of this UText, pointing into `text`; it is not used
    // again before the next setText.
    UErrorCode status = U_ZERO_ERROR;
    UText utext = UTEXT_INITIALIZER;  // on the stack: no allocation per call
    utext_openUChars(&utext, reinterpret_cast<const UChar*>(text.data()),
                     static_cast<int64_t>(text.size()), &status);
    it.setText(&utext, status);
    utext_close(&utext);
    if (U_FAILURE(status)) throw EngineError("Word breaking failed");
    int32_t begin = it.first();
    for (int32_t end = it.next(); end != icu::BreakIterator::DONE; begin = end, end = it.next())
        if (it.getRuleStatus() != UBRK_WORD_NONE)
            emit(static_cast<size_t>(begin), static_cast<size_t>(end));
}

// Flags the words that lie inside one of `links` (ranges in text order, in the unit that
// `range` gives a word's extent in).
template <typename Word, typename Range>
void MarkLinks(std::vector<Word>& words, const std::vector<LinkFinder::Range>& links, Range range) {
    size_t link = 0;
    for (Word& word : words) {
        const auto [begin, end] = range(word);
        while (link < links.size() && links[link].second <= begin) ++link;
        if (link < links.size() && links[link].first <= begin && end <= links[link].second)
            word.inLink = true;
    }
}

// Whether ICU's rules always break before byte `p` of UTF-8 `text` (0 < p < size) and find the
// same segments after it as in a text that starts there: after a line end, a tab or a blank,
// before an ASCII character (which cannot extend the one before), except between two blanks
// and inside CR LF.
bool IsFreshStart(std::string_view text, size_t p) {
    const char at = text[p];
    if (static_cast<unsigned char>(at) >= 0x80) return false;
    switch (text[p - 1]) {
        case '\n':
        case '\v':
        case '\f':
        case '\t':
            return true;
        case '\r':
            return at != '\n';
        case ' ':
            return at != ' ';
        default:
            return false;
    }
}

size_t FirstNonAscii(std::string_view text, size_t from, size_t to) {
    constexpr uint64_t kHighBits = 0x8080808080808080u;
    for (uint64_t chunk; from + sizeof chunk <= to; from += sizeof chunk) {
        std::memcpy(&chunk, text.data() + from, sizeof chunk);
        if (chunk & kHighBits) break;
    }
    while (from < to && static_cast<unsigned char>(text[from]) < 0x80) ++from;
    return from;
}

// Where the stretch for ICU that holds the non-ASCII byte at `first` ends: at the first fresh
// start after it that is followed by enough ASCII text, or at the end of the text.
size_t IcuStretchEnd(std::string_view text, size_t first) {
    size_t end = first + 1;
    for (;;) {
        while (end < text.size() && !IsFreshStart(text, end)) ++end;
        if (end == text.size()) return end;
        const size_t lookahead = std::min(text.size(), end + kMinAsciiStretchBytes);
        const size_t next = FirstNonAscii(text, end, lookahead);
        if (next == lookahead) return end;
        end = next + 1;
    }
}

// Maps UTF-16 offsets of a stretch of valid UTF-8 to its byte offsets, for offsets that only
// grow and fall on code point boundaries.
class Utf16ToByteCursor {
  public:
    Utf16ToByteCursor(std::string_view utf8, size_t byte) : utf8_(utf8), byte_(byte) {}
    size_t ByteAt(size_t unit) {
        while (unit_ < unit) {
            const auto lead = static_cast<unsigned char>(utf8_[byte_]);
            const size_t bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            byte_ += bytes;
            unit_ += bytes == 4 ? 2 : 1;
        }
        return byte_;
    }

  private:
    std::string_view utf8_;
    size_t byte_;
    size_t unit_ = 0;
};

// The words of the ASCII stretch [begin, end) of `text`; `extraBytes` is the count of bytes
// before `begin` beyond their UTF-16 code units.
void AddAsciiWords(std::string_view text, size_t begin, size_t end, size_t extraBytes,
                   std::vector<WordRef>& words) {
    const std::string_view stretch = text.substr(begin, end - begin);
    AsciiWordBreaker breaker(stretch);
    size_t segmentBegin = 0, segmentEnd = 0;
    while (breaker.Next(segmentBegin, segmentEnd))
        ForEachPart(stretch, segmentBegin, segmentEnd, [&](size_t start, size_t length) {
            words.push_back(
                {begin + start - extraBytes, length, stretch.substr(start, length), false});
        });
}

// The words of the stretch [begin, end) of `text` by ICU; returns the count of its bytes beyond
// its UTF-16 code units. Throws EngineError when the stretch is not valid UTF-8.
size_t AddIcuWords(std::string_view text, size_t begin, size_t end, size_t extraBytes,
                   std::vector<WordRef>& words) {
    const std::u16string wide = WordTokenizer::ToUtf16(text.substr(begin, end - begin));
    Utf16ToByteCursor cursor(text, begin);
    ForEachIcuSegment(wide, [&](size_t segmentBegin, size_t segmentEnd) {
        ForEachPart(
            std::u16string_view(wide), segmentBegin, segmentEnd, [&](size_t start, size_t length) {
                const size_t first = cursor.ByteAt(start);
                const size_t last = cursor.ByteAt(start + length);
                words.push_back(
                    {begin - extraBytes + start, length, text.substr(first, last - first), false});
            });
    });
    return (end - begin) - wide.size();
}

}  // namespace

std::u16string WordTokenizer::ToUtf16(std::string_view utf8) {
    std::u16string out(utf8.size(), u'\0');
    if (utf8.empty()) return out;
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                  utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status)) throw EngineError("Text is not valid UTF-8");
    out.resize(static_cast<size_t>(length));
    return out;
}

std::string WordTokenizer::ToUtf8(std::u16string_view utf16) {
    std::string out(utf16.size() * 3, '\0');
    if (utf16.empty()) return out;
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                       reinterpret_cast<const UChar*>(utf16.data()),
                       static_cast<int32_t>(utf16.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return std::string();
    out.resize(static_cast<size_t>(length));
    return out;
}

std::vector<TextWord> WordTokenizer::Words(const std::u16string& text) {
    std::vector<TextWord> words;
    const std::u16string_view view(text);
    ForEachIcuSegment(view, [&](size_t begin, size_t end) {
        ForEachPart(view, begin, end, [&](size_t start, size_t length) {
            words.push_back({start, length, false});
        });
    });
    MarkLinks(words, LinkFinder::Find(text),
              [](const TextWord& w) { return LinkFinder::Range(w.pos, w.pos + w.len); });
    return words;
}

// The text is cut where ICU would start afresh anyway (IsFreshStart) into ASCII stretches and
// stretches with other characters; only the latter go through ICU, and only they are converted
// to UTF-16. A word's position counts the code units before it: its byte offset less the extra
// bytes of the non-ASCII stretches before it.
std::vector<WordRef> WordTokenizer::Words(std::string_view utf8, Links links) {
    std::vector<WordRef> words;
    words.reserve(std::min(utf8.size() / kBytesPerWordGuess, kMaxReservedWords));
    size_t done = 0;
    size_t extraBytes = 0;
    while (done < utf8.size()) {
        const size_t first = FirstNonAscii(utf8, done, utf8.size());
        if (first == utf8.size()) {
            AddAsciiWords(utf8, done, utf8.size(), extraBytes, words);
            break;
        }
        size_t begin = first;
        while (begin > done && !IsFreshStart(utf8, begin)) --begin;
        const size_t end = IcuStretchEnd(utf8, first);
        AddAsciiWords(utf8, done, begin, extraBytes, words);
        extraBytes += AddIcuWords(utf8, begin, end, extraBytes, words);
        done = end;
    }
    if (links == Links::kMark) {
        MarkLinks(words, LinkFinder::FindInValidUtf8(utf8), [&](const WordRef& w) {
            const auto begin = static_cast<size_t>(w.utf8.data() - utf8.data());
            return LinkFinder::Range(begin, begin + w.utf8.size());
        });
    }
    return words;
}
