#include "grammar/GrammarChecker.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "spell/WordShape.h"
#include "spell/WordTokenizer.h"
#include "utils/TextEscapes.h"

namespace {

constexpr std::array<std::string_view, 14> kConsonantSoundPrefixes = {
    "uni", "use", "usa", "usu", "uti", "ura",  "ure",
    "uri", "uro", "eu",  "ewe", "one", "once", "ubiq"};
constexpr std::array<std::string_view, 5> kVowelSoundPrefixes = {"hour", "honest", "honor",
                                                                 "honour", "heir"};
constexpr std::array<std::string_view, 12> kAbbreviations = {
    "e.g", "i.e", "etc", "vs", "cf", "mr", "mrs", "ms", "dr", "st", "no", "approx"};
// Capital letters whose names start with a vowel sound ("an FBI agent", "an X-ray").
constexpr std::string_view kVowelSoundCapitals = "AEFHILMNORSX";
// Two consonants that start English words; a word that starts with two other consonants is
// read letter by letter ("an rpath", "an mkdir") and the article rules leave it alone.
constexpr std::array<std::string_view, 27> kOnsetClusters = {
    "bl", "br", "ch", "cl", "cr", "dr", "dw", "fl", "fr", "gl", "gn", "gr", "kn", "ph",
    "pl", "pr", "ps", "sc", "sh", "sk", "sl", "sm", "sn", "sp", "st", "sw", "th"};
constexpr std::array<std::string_view, 6> kMoreOnsetClusters = {"tr", "tw", "wh", "wr", "sq", "kl"};
// ICU's time-limit units (about a millisecond each) one rule may spend on one text.
constexpr int32_t kRuleTimeLimitUnits = 200;

template <size_t N>
bool In(const std::array<std::string_view, N>& list, std::string_view word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

template <size_t N>
bool StartsWithAny(const std::array<std::string_view, N>& list, std::string_view word) {
    return std::any_of(list.begin(), list.end(),
                       [&](std::string_view p) { return word.rfind(p, 0) == 0; });
}

std::string Utf8Of(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

std::string CapitalFirst(const std::string& utf8) {
    std::u16string word = WordTokenizer::ToUtf16(utf8);
    if (!word.empty() && !U16_IS_SURROGATE(word[0]))
        word[0] = static_cast<char16_t>(u_toupper(word[0]));
    return WordTokenizer::ToUtf8(word);
}

// A template with "$N" / "$^N" filled from the match's groups; `escape` applies to each group.
template <typename Escape>
std::string Fill(const std::string& templ, const icu::RegexMatcher& match, Escape escape) {
    std::string out;
    for (size_t i = 0; i < templ.size(); ++i) {
        const bool capital = templ[i] == '$' && i + 2 < templ.size() && templ[i + 1] == '^';
        const size_t digitAt = i + (capital ? 2 : 1);
        if (templ[i] != '$' || digitAt >= templ.size() || templ[digitAt] < '0' ||
            templ[digitAt] > '9' || templ[digitAt] - '0' > match.groupCount()) {
            out += templ[i];
            continue;
        }
        UErrorCode status = U_ZERO_ERROR;
        std::string group = Utf8Of(match.group(templ[digitAt] - '0', status));
        if (U_FAILURE(status)) group.clear();
        out += escape(capital ? CapitalFirst(group) : group);
        i = digitAt;
    }
    return out;
}

// The variant with its first letter in capitals when the matched text starts with one.
std::string FollowingCase(std::string variant, const std::u16string& text, size_t pos) {
    if (pos < text.size() && u_isupper(text[pos]) && !variant.empty()) return CapitalFirst(variant);
    return variant;
}

// The index of the word that starts exactly at `pos`, or words.size().
size_t WordAt(const std::vector<TextWord>& words, size_t pos) {
    const auto it = std::lower_bound(words.begin(), words.end(), pos,
                                     [](const TextWord& w, size_t p) { return w.pos < p; });
    return it != words.end() && it->pos == pos ? static_cast<size_t>(it - words.begin())
                                               : words.size();
}

bool InLink(const std::vector<TextWord>& words, size_t pos) {
    auto it = std::upper_bound(words.begin(), words.end(), pos,
                               [](size_t p, const TextWord& w) { return p < w.pos; });
    if (it == words.begin()) return false;
    --it;
    return it->inLink && pos < it->pos + it->len;
}

bool IsAsciiConsonant(char c) {
    return c >= 'a' && c <= 'z' && std::string_view("aeiouy").find(c) == std::string_view::npos;
}

// Whether a word is read as a word rather than letter by letter, for the article rules: not
// in capitals (an acronym, or a passage in capitals whose words the rules cannot read), and not
// starting with two consonants that no English word starts with.
bool ReadAsWord(const std::string& word) {
    if (word.size() > 1 && WordShape(word).allCapitals()) return false;
    const std::string lower = WordShape::Lower(word.substr(0, 2));
    if (lower.size() < 2 || !IsAsciiConsonant(lower[0]) || !IsAsciiConsonant(lower[1])) return true;
    return In(kOnsetClusters, lower) || In(kMoreOnsetClusters, lower);
}

bool IsListMarkerChar(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Whether the text from the start of the line up to `pos` is only a list marker: "1. ",
// "a) ", "(iv) ", "- ", "* ", "• ".
bool AfterListMarker(const std::u16string& text, size_t pos) {
    size_t start = pos;
    while (start > 0 && text[start - 1] != u'\n') --start;
    std::u16string_view head = std::u16string_view(text).substr(start, pos - start);
    while (!head.empty() && u_isUWhiteSpace(head.front())) head.remove_prefix(1);
    while (!head.empty() && u_isUWhiteSpace(head.back())) head.remove_suffix(1);
    if (head == u"-" || head == u"*" || head == u"\u2022") return true;
    if (head.size() < 2 || head.size() > 6) return false;
    const char16_t close = head.back();
    if (close != u'.' && close != u')') return false;
    head.remove_suffix(1);
    if (close == u')' && head.front() == u'(') head.remove_prefix(1);
    return !head.empty() && std::all_of(head.begin(), head.end(), IsListMarkerChar) &&
           (head.size() <= 2 || std::all_of(head.begin(), head.end(), [](char16_t c) {
                return std::u16string_view(u"0123456789ivxlcIVXLC").find(c) !=
                       std::u16string_view::npos;
            }));
}

// Whether the line around `pos` looks like code or a command rather than prose: it holds marks
// that prose does not use, or it is indented as a block.
bool InCodeLine(const std::u16string& text, size_t pos) {
    size_t start = pos;
    while (start > 0 && text[start - 1] != u'\n') --start;
    size_t end = text.find(u'\n', pos);
    if (end == std::u16string::npos) end = text.size();
    const std::u16string_view line = std::u16string_view(text).substr(start, end - start);
    if (line.find_first_of(u"[]{}=;|$`<>") != std::u16string_view::npos) return true;
    // A block indented by four or more blanks with the word first on its line.
    return pos - start >= 4 && line.find_first_not_of(u" \t") == pos - start;
}

// The first kMaxProblems of `problems` in text order, sorted.
void KeepFirstProblems(std::vector<GrammarProblem>& problems) {
    std::stable_sort(problems.begin(), problems.end(),
                     [](const GrammarProblem& x, const GrammarProblem& y) {
                         return x.pos != y.pos ? x.pos < y.pos : x.rule < y.rule;
                     });
    if (problems.size() > GrammarChecker::kMaxProblems)
        problems.resize(GrammarChecker::kMaxProblems);
}

}  // namespace

GrammarChecker::GrammarChecker() : GrammarChecker(GrammarRuleTable::Default()) {}

GrammarChecker::GrammarChecker(std::shared_ptr<const GrammarRuleTable> rules)
    : rules_(std::move(rules)) {}

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

bool GrammarChecker::StartsSentence(const std::u16string& text, const std::vector<TextWord>& words,
                                    size_t index) {
    const size_t start = words[index].pos;
    if (AfterListMarker(text, start) || InCodeLine(text, start)) return false;
    // An abbreviation written with full stops ("i.e.", "e.g.") is not a word of the sentence.
    const size_t end = start + words[index].len;
    if (end + 1 < text.size() && text[end] == u'.' && u_isalpha(text[end + 1])) return false;
    // A list marker itself: "a) ...".
    if (end < text.size() && text[end] == u')' && words[index].len <= 3) return false;
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
        const std::string lower = WordShape::Lower(
            WordTokenizer::ToUtf8(std::u16string_view(text).substr(previous.pos, previous.len)));
        if (previous.len == 1 || In(kAbbreviations, lower)) return false;
        if (previous.pos >= 2 && text[previous.pos - 1] == u'.') return false;  // "e.g."
    }
    return true;
}

void GrammarChecker::ApplyRule(const GrammarRule& rule, const std::u16string& text,
                               const std::vector<TextWord>& words, std::vector<GrammarProblem>& out,
                               const StopCheck& stop) const {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString input(false, text.data(), static_cast<int32_t>(text.size()));
    std::unique_ptr<icu::RegexMatcher> match(rule.pattern->matcher(input, status));
    if (U_FAILURE(status)) return;
    match->setTimeLimit(kRuleTimeLimitUnits, status);
    size_t found = 0;
    while (found < kMaxProblems && !(stop && stop()) && match->find(status) && U_SUCCESS(status)) {
        const auto pos = static_cast<size_t>(match->start(status));
        const auto end = static_cast<size_t>(match->end(status));
        if (U_FAILURE(status) || end <= pos || InLink(words, pos)) continue;
        if (rule.condition == GrammarRule::Condition::kSentenceStart) {
            const size_t index = WordAt(words, pos);
            if (index == words.size() || words[index].inLink ||
                WordShape(std::u16string_view(text).substr(pos, end - pos)).mixedCase() ||
                !StartsSentence(text, words, index))
                continue;
        } else if (rule.condition != GrammarRule::Condition::kNone) {
            const std::string group = Utf8Of(match->group(rule.group, status));
            const bool vowel = StartsWithVowelSound(group);
            const bool soundFits =
                rule.condition == GrammarRule::Condition::kVowelSound
                    ? vowel
                    : !vowel && !group.empty() && !(group[0] >= '0' && group[0] <= '9');
            const bool wanted = soundFits && ReadAsWord(group);
            if (U_FAILURE(status) || !wanted) continue;
        }
        GrammarProblem problem{pos, end - pos, rule.number, {}, {}};
        problem.explanation =
            Fill(rule.explanation, *match, [](const std::string& g) { return HtmlEscape(g); });
        for (const std::string& variant : rule.variants)
            problem.variants.push_back(FollowingCase(
                Fill(variant, *match, [](const std::string& g) { return g; }), text, pos));
        out.push_back(std::move(problem));
        ++found;
    }
}

std::vector<GrammarProblem> GrammarChecker::Check(const std::u16string& text,
                                                  const StopCheck& stop) const {
    const std::vector<TextWord> words = WordTokenizer::Words(text);
    std::vector<GrammarProblem> out;
    for (const GrammarRule& rule : rules_->rules()) {
        if (stop && stop()) break;
        ApplyRule(rule, text, words, out, stop);
        // Each rule stops at the limit: the first kMaxProblems of all are among what is kept,
        // and at most two rules' worth of problems are held at once.
        if (out.size() > kMaxProblems) KeepFirstProblems(out);
    }
    KeepFirstProblems(out);
    return out;
}
