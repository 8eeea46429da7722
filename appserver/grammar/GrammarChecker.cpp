#include "grammar/GrammarChecker.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "spell/WordShape.h"
#include "spell/WordTokenizer.h"
#include "utils/TextEscapes.h"

namespace {

constexpr std::array<std::string_view, 2> kRepeatAllowed = {"had", "that"};
constexpr std::array<std::string_view, 14> kConsonantSoundPrefixes = {
    "uni", "use", "usa", "usu", "uti", "ura",  "ure",
    "uri", "uro", "eu",  "ewe", "one", "once", "ubiq"};
constexpr std::array<std::string_view, 5> kVowelSoundPrefixes = {"hour", "honest", "honor",
                                                                 "honour", "heir"};
constexpr std::array<std::string_view, 6> kModals = {"could", "should", "would",
                                                     "must",  "might",  "may"};
constexpr std::array<std::string_view, 16> kComparatives = {
    "more",   "less",   "better", "worse", "rather", "other", "greater", "smaller",
    "larger", "higher", "lower",  "fewer", "bigger", "older", "younger", "faster"};
constexpr std::array<std::string_view, 12> kAbbreviations = {
    "e.g", "i.e", "etc", "vs", "cf", "mr", "mrs", "ms", "dr", "st", "no", "approx"};
// Capital letters whose names start with a vowel sound ("an FBI agent", "an X-ray").
constexpr std::string_view kVowelSoundCapitals = "AEFHILMNORSX";

template <size_t N>
bool In(const std::array<std::string_view, N>& list, std::string_view word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

template <size_t N>
bool StartsWithAny(const std::array<std::string_view, N>& list, std::string_view word) {
    return std::any_of(list.begin(), list.end(),
                       [&](std::string_view p) { return word.rfind(p, 0) == 0; });
}

// Message parts are words (never TAB, LF or CR), so the shared escape gives exactly the four
// references of '&', '<', '>' and '"'.
std::string Quoted(std::string_view text) { return "&quot;" + HtmlEscape(text) + "&quot;"; }

GrammarProblem Span(const TextWord& a, const TextWord& b, int rule, std::string explanation,
                    std::string variant) {
    return {a.pos, b.pos + b.len - a.pos, rule, std::move(explanation), {std::move(variant)}};
}

std::string CapitalFirst(const std::u16string& word) {
    std::u16string out = word;
    if (!out.empty() && !U16_IS_SURROGATE(out[0]))
        out[0] = static_cast<char16_t>(u_toupper(out[0]));
    return WordTokenizer::ToUtf8(out);
}

}  // namespace

bool GrammarChecker::StartsWithVowelSound(const std::string& word) {
    if (word.empty()) return false;
    const bool acronym = word.size() > 1 && std::all_of(word.begin(), word.end(), [](char c) {
                             return c >= 'A' && c <= 'Z';
                         });
    if (acronym) return kVowelSoundCapitals.find(word[0]) != std::string_view::npos;
    const std::string lower = WordShape::Lower(word);
    if (StartsWithAny(kVowelSoundPrefixes, lower)) return true;
    if (StartsWithAny(kConsonantSoundPrefixes, lower)) return false;
    return std::string_view("aeiou").find(lower[0]) != std::string_view::npos;
}

bool GrammarChecker::OnlyBlanksBetween(const std::u16string& text, const TextWord& a,
                                       const TextWord& b) {
    const size_t from = a.pos + a.len;
    if (b.pos <= from) return false;
    for (size_t i = from; i < b.pos; ++i)
        if (!u_isUWhiteSpace(text[i])) return false;
    return true;
}

bool GrammarChecker::StartsSentence(const std::u16string& text, const std::vector<TextWord>& words,
                                    size_t index) {
    const size_t start = words[index].pos;
    size_t i = start;
    bool sawBlank = false;
    while (i > 0 && u_isUWhiteSpace(text[i - 1])) {
        --i;
        sawBlank = true;
    }
    if (i == 0) return true;
    const char16_t mark = text[i - 1];
    if (!sawBlank || (mark != u'.' && mark != u'!' && mark != u'?')) return false;
    if (mark == u'.') {
        if (i >= 2 && text[i - 2] == u'.') return false;  // an ellipsis
        if (index == 0) return true;
        const TextWord& previous = words[index - 1];
        if (previous.pos + previous.len != i - 1) return true;
        const std::string lower = WordShape::Lower(previous.utf8);
        if (previous.len == 1 || In(kAbbreviations, lower)) return false;
        if (previous.pos >= 2 && text[previous.pos - 1] == u'.') return false;  // "e.g."
    }
    return true;
}

void GrammarChecker::CheckPair(const std::u16string& text, const TextWord& a, const TextWord& b,
                               std::vector<GrammarProblem>& out) {
    if (!OnlyBlanksBetween(text, a, b)) return;
    const std::string first = WordShape::Lower(a.utf8);
    const std::string second = WordShape::Lower(b.utf8);
    if (first == second && !In(kRepeatAllowed, first)) {
        out.push_back(
            Span(a, b, kRepeatedWord,
                 "<b>Repeated word.</b> The word " + Quoted(a.utf8) + " is written twice in a row.",
                 a.utf8));
    } else if (first == "a" && StartsWithVowelSound(b.utf8)) {
        out.push_back(Span(a, b, kAVowel,
                           "<b>Article.</b> Use &quot;an&quot; before a word that starts with a "
                           "vowel sound, such as " +
                               Quoted(b.utf8) + ".",
                           (a.utf8 == "A" ? "An " : "an ") + b.utf8));
    } else if (first == "an" && !StartsWithVowelSound(b.utf8) &&
               !WordShape(std::u16string_view(text).substr(b.pos, 1)).hasDigit()) {  // "an 8th"
        out.push_back(Span(a, b, kAnConsonant,
                           "<b>Article.</b> Use &quot;a&quot; before a word that starts with a "
                           "consonant sound, such as " +
                               Quoted(b.utf8) + ".",
                           (a.utf8 == "An" ? "A " : "a ") + b.utf8));
    } else if (second == "of" && In(kModals, first)) {
        out.push_back(Span(a, b, kModalOf,
                           "<b>Wrong word.</b> After " + Quoted(a.utf8) +
                               " write &quot;have&quot;, not &quot;of&quot;.",
                           a.utf8 + " have"));
    } else if (second == "then" && In(kComparatives, first)) {
        out.push_back({b.pos,
                       b.len,
                       kThenThan,
                       "<b>Wrong word.</b> A comparison such as " + Quoted(a.utf8) +
                           " takes &quot;than&quot;; &quot;then&quot; is about time.",
                       {b.utf8 == "Then" ? "Than" : "than"}});
    } else if (first == "your" && second == "welcome") {
        out.push_back(Span(a, b, kYourWelcome,
                           "<b>Wrong word.</b> &quot;You're welcome&quot; is short for &quot;you "
                           "are welcome&quot;.",
                           (a.utf8 == "Your" ? "You're " : "you're ") + b.utf8));
    }
}

std::vector<GrammarProblem> GrammarChecker::Check(const std::u16string& text) const {
    const std::vector<TextWord> words = WordTokenizer::Words(text);
    std::vector<GrammarProblem> out;
    for (size_t i = 0; i < words.size(); ++i) {
        const TextWord& w = words[i];
        const std::u16string word = text.substr(w.pos, w.len);
        if (!w.inLink && u_islower(word[0]) && !WordShape(word).mixedCase() &&
            StartsSentence(text, words, i)) {
            const std::string fixed = CapitalFirst(word);
            out.push_back({w.pos,
                           w.len,
                           kLowerCaseStart,
                           "<b>Capital letter.</b> A sentence starts with a capital letter: " +
                               Quoted(fixed) + ".",
                           {fixed}});
        }
        if (i + 1 < words.size()) CheckPair(text, w, words[i + 1], out);
    }
    std::stable_sort(out.begin(), out.end(), [](const GrammarProblem& x, const GrammarProblem& y) {
        return x.pos < y.pos;
    });
    return out;
}
