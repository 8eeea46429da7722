#include "cmdhandlers/Spell/WebServiceAnswers.h"

#include <climits>
#include <unordered_map>

#include "cmdhandlers/Spell/SuggestionAnswers.h"

namespace {

constexpr char32_t kTypographicApostrophe = 0x2019;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes of the UTF-8 sequence that `lead` starts (1 for a byte that starts none).
size_t SequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The code point of the UTF-8 sequence starting at `at` (U+FFFD for a broken one).
char32_t CodePointAt(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || at + static_cast<size_t>(extra) >= text.size()) return 0xFFFD;
    char32_t value = lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + static_cast<size_t>(i)]);
        if (!IsContinuation(byte)) return 0xFFFD;
        value = (value << 6) | (byte & 0x3F);
    }
    return value;
}

bool IsWordCharacter(char32_t c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '\'';
    if (c == kTypographicApostrophe) return true;
    const bool punctuation = (c <= 0xBF) || c == 0xD7 || c == 0xF7 ||
                             (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F) ||
                             c == 0xFEFF || c == 0xFFFD;
    return !punctuation;
}

bool WordCharacterBefore(std::string_view text, size_t at) {
    if (at == 0) return false;
    size_t start = at - 1;
    while (start > 0 && at - start < 4 && IsContinuation(static_cast<unsigned char>(text[start])))
        --start;
    return IsWordCharacter(CodePointAt(text, start));
}

bool WordCharacterAt(std::string_view text, size_t at) {
    return at < text.size() && IsWordCharacter(CodePointAt(text, at));
}

std::vector<std::string> SuggestionsIn(std::string_view list) {
    std::vector<std::string> suggestions;
    if (list == kNoSuggestions) return suggestions;
    size_t at = 0;
    while (true) {
        const size_t comma = list.find(',', at);
        suggestions.emplace_back(
            list.substr(at, comma == std::string_view::npos ? list.npos : comma - at));
        if (comma == std::string_view::npos) return suggestions;
        at = comma + 1;
    }
}

// The code point at `at` and the bytes it takes (one byte for a broken sequence).
std::pair<char32_t, size_t> Step(std::string_view text, size_t at) {
    const char32_t c = CodePointAt(text, at);
    return {c, c == 0xFFFD ? 1 : SequenceLength(static_cast<unsigned char>(text[at]))};
}

// The end of the run of word characters that starts at `at`.
size_t RunEnd(std::string_view text, size_t at) {
    while (at < text.size()) {
        const auto [c, length] = Step(text, at);
        if (!IsWordCharacter(c)) break;
        at += length;
    }
    return at;
}

// Whether the one-pass search can find `word`: valid UTF-8, a word character at both ends.
bool FoundByRuns(std::string_view word) {
    bool last = false;
    for (size_t at = 0; at < word.size();) {
        const auto [c, length] = Step(word, at);
        if (c == 0xFFFD || (at == 0 && !IsWordCharacter(c))) return false;
        last = IsWordCharacter(c);
        at += length;
    }
    return last;
}

}  // namespace

std::vector<std::vector<int>> WholeWordOffsetsOfEach(std::string_view text,
                                                     const std::vector<std::string_view>& words) {
    std::vector<std::vector<int>> offsets(words.size());
    if (text.size() > INT_MAX) return offsets;
    // A whole-word occurrence begins a run of word characters, and that run is the word's own
    // first run: the words are indexed by it.
    std::unordered_map<std::string_view, std::vector<size_t>> byFirstRun;
    for (size_t i = 0; i < words.size(); ++i) {
        if (FoundByRuns(words[i]))
            byFirstRun[words[i].substr(0, RunEnd(words[i], 0))].push_back(i);
        else
            offsets[i] = WholeWordOffsets(text, words[i]);
    }
    if (byFirstRun.empty()) return offsets;
    std::vector<size_t> searchedFrom(words.size(), 0);  // occurrences of a word do not overlap
    for (size_t at = 0; at < text.size();) {
        const auto [c, length] = Step(text, at);
        if (!IsWordCharacter(c)) {
            at += length;
            continue;
        }
        const size_t end = RunEnd(text, at);
        if (const auto hit = byFirstRun.find(text.substr(at, end - at)); hit != byFirstRun.end()) {
            for (const size_t i : hit->second) {
                const std::string_view word = words[i];
                if (at >= searchedFrom[i] && text.compare(at, word.size(), word) == 0 &&
                    !WordCharacterBefore(text, at) && !WordCharacterAt(text, at + word.size())) {
                    offsets[i].push_back(static_cast<int>(at));
                    searchedFrom[i] = at + word.size();
                }
            }
        }
        at = end;
    }
    return offsets;
}

std::vector<int> WholeWordOffsets(std::string_view text, std::string_view word) {
    std::vector<int> offsets;
    if (word.empty() || text.size() > INT_MAX) return offsets;
    for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at)) {
        if (!WordCharacterBefore(text, at) && !WordCharacterAt(text, at + word.size())) {
            offsets.push_back(static_cast<int>(at));
            at += word.size();
        } else {
            ++at;
        }
    }
    return offsets;
}

CheckSpellingResults ReadAllSuggestions(std::string_view answer, std::string_view text,
                                        bool findPositions) {
    CheckSpellingResults results;
    std::vector<std::string_view> order;  // distinct words, in answer order
    size_t at = 0;
    while (at < answer.size()) {
        at = answer.find_first_not_of("\r\n", at);
        if (at == std::string_view::npos) break;
        size_t end = answer.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = answer.size();
        const std::string_view line = answer.substr(at, end - at);
        at = end;
        const size_t colon = line.find(':');
        const std::string word(line.substr(0, colon));
        if (word.empty()) continue;
        const bool known = results.words.count(word) != 0;
        results.words[word] = colon == std::string_view::npos
                                  ? std::vector<std::string>()
                                  : SuggestionsIn(line.substr(colon + 1));
        // A word the answer lists twice is found in the text once.
        if (!known) order.push_back(line.substr(0, colon));
    }
    if (!findPositions) return results;
    const std::vector<std::vector<int>> offsets = WholeWordOffsetsOfEach(text, order);
    for (size_t i = 0; i < order.size(); ++i)
        for (const int offset : offsets[i])
            results.positions.push_back(
                {std::string(order[i]), {offset, static_cast<int>(order[i].size())}});
    return results;
}
