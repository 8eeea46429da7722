#include "grammar/GrammarChecker.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "grammar/GrammarText.h"
#include "spell/WordShape.h"
#include "spell/WordTokenizer.h"
#include "utils/TextEscapes.h"

namespace {

constexpr std::array<std::string_view, 15> kConsonantSoundPrefixes = {
    "uni", "use", "usa", "usu", "uti",  "ura",  "ure", "uri",
    "uro", "eu",  "ewe", "one", "once", "ubiq", "udeb"};
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
// The longest list marker, "(viii)".
constexpr size_t kMaxListMarkerUnits = 6;
// ICU's time-limit units (about a millisecond each) one rule may spend on one text.
constexpr int32_t kRuleTimeLimitUnits = 200;
// A rule that ran over its time at a start.
constexpr size_t kFailed = static_cast<size_t>(-1);

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

// Whether the range is a word or phrase set in quotes, as a text names a word rather than uses it:
// 'alot', "alot", ‘alot’, “alot”, `alot`.
bool Quoted(const std::u16string& text, size_t pos, size_t end) {
    if (pos == 0 || end >= text.size()) return false;
    static constexpr std::u16string_view kOpen = u"'\"\u2018\u201c`";
    static constexpr std::u16string_view kClose = u"'\"\u2019\u201d`";
    const size_t quote = kOpen.find(text[pos - 1]);
    return quote != std::u16string_view::npos && text[end] == kClose[quote];
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
// "a) ", "(iv) ", "- ", "* ", "• ". Bounded: only the blanks before `pos` are walked.
bool AfterListMarker(const GrammarText& t, size_t pos) {
    const std::u16string& text = t.text();
    const size_t lineStart = t.LineStart(pos);
    size_t end = pos;
    while (end > lineStart && u_isUWhiteSpace(text[end - 1])) --end;
    const size_t begin = t.FirstNonSpace(pos);
    if (begin >= end || end - begin > kMaxListMarkerUnits) return false;
    std::u16string_view head = std::u16string_view(text).substr(begin, end - begin);
    if (head == u"-" || head == u"*" || head == u"\u2022") return true;
    if (head.size() < 2) return false;
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
// that prose does not use, or it is indented as a block (four or more blanks with the word
// first on its line).
bool InCodeLine(const GrammarText& t, size_t pos) {
    return t.HasCodeMarks(pos) || (pos - t.LineStart(pos) >= 4 && t.FirstNonBlank(pos) == pos);
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

// Whether a word whose kept folded text is `word` may be written again at the next letter run,
// whose kept folded text is `next`, with only blanks between. Both the word's folded letters
// (`word` up to its first non-letter, or less) and `next` are then prefixes of the next run's
// folded text, so they agree as far as both go. A kept text may end in half a surrogate pair,
// folded alone: that unit is not compared.
bool MayRepeat(const std::u16string& word, const std::u16string& next) {
    size_t letters = 0;
    for (size_t i = 0; i < word.size();) {
        UChar32 c = 0;
        U16_NEXT(word.data(), i, word.size(), c);
        if (!u_isalpha(c)) break;
        letters = i;
    }
    size_t common = std::min(letters, next.size());
    if (common > 0 && U16_IS_LEAD(next[common - 1])) --common;
    return word.compare(0, common, next, 0, common) == 0;
}

// Whether the code point at `pos` is a lower-case letter (\p{Ll}).
bool IsLowerCase(const std::u16string& text, size_t pos) {
    UChar32 c = 0;
    U16_GET(text.data(), 0, pos, text.size(), c);
    return u_charType(c) == U_LOWERCASE_LETTER;
}

// Adds `rule` to a list of rule indexes that are added in ascending order.
void AddRule(std::vector<size_t>& rules, size_t rule) {
    if (rules.empty() || rules.back() != rule) rules.push_back(rule);
}

}  // namespace

GrammarChecker::GrammarChecker() : GrammarChecker(GrammarRuleTable::Default()) {}

GrammarChecker::GrammarChecker(std::shared_ptr<const GrammarRuleTable> rules, Matching matching,
                               size_t resultCacheBytes)
    : rules_(std::move(rules)),
      matching_(matching),
      cache_(std::make_unique<GrammarResultCache>(resultCacheBytes)) {
    for (size_t i = 0; i < rules_->rules().size(); ++i) {
        const icu::UnicodeString& source = rules_->rules()[i].pattern->pattern();
        anchors_.push_back(RuleAnchor::Of(
            std::u16string_view(source.getBuffer(), static_cast<size_t>(source.length()))));
        if (anchors_.back().kind() == RuleAnchor::Kind::kAnyWord)
            (anchors_.back().repeatsWord() ? repeatedWordRules_ : anyWordRules_).push_back(i);
        if (anchors_.back().kind() == RuleAnchor::Kind::kChars)
            for (char16_t c : anchors_.back().chars())
                AddRule(asciiCharRules_[c < kAsciiEnd ? c : kAsciiEnd], i);
        const std::vector<std::u16string>& words = anchors_.back().words();
        // Longer anchor words cannot be looked up in a run's kept letters: no anchor then.
        if (std::any_of(words.begin(), words.end(), [](const std::u16string& word) {
                return word.size() > GrammarText::kFoldedRunUnits;
            }))
            anchors_.back() = RuleAnchor();
        for (const std::u16string& word : anchors_.back().words())
            AddRule(trie_[AddWord(word)].anchoredRules, i);
        const std::vector<std::u16string>& later = anchors_.back().laterWords();
        if (!later.empty() && std::none_of(later.begin(), later.end(), [](const auto& word) {
                return word.size() > GrammarText::kFoldedRunUnits;
            })) {
            laterWordRules_.push_back(i);
            for (const std::u16string& word : later)
                AddRule(trie_[AddWord(word)].laterWordRules, i);
        }
    }
}

uint32_t GrammarChecker::AddWord(const std::u16string& word) {
    uint32_t node = 0;
    for (char16_t c : word) {
        uint32_t child = Next(node, c);
        if (child == 0) {
            child = static_cast<uint32_t>(trie_.size());
            auto& next = trie_[node].next;
            next.insert(std::lower_bound(next.begin(), next.end(), std::make_pair(c, uint32_t{0})),
                        {c, child});
            trie_.emplace_back();
        }
        node = child;
    }
    return node;
}

uint32_t GrammarChecker::Next(uint32_t node, char16_t c) const {
    const auto& next = trie_[node].next;
    const auto it = std::lower_bound(next.begin(), next.end(), std::make_pair(c, uint32_t{0}));
    return it != next.end() && it->first == c ? it->second : 0;
}

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

size_t GrammarChecker::BlanksBefore(const std::u16string& text, size_t pos) {
    while (pos > 0 && u_isUWhiteSpace(text[pos - 1])) --pos;
    return pos;
}

bool GrammarChecker::AfterSentenceEnd(const std::u16string& text, size_t pos) {
    const size_t i = BlanksBefore(text, pos);
    if (i == 0) return true;
    // A paragraph that begins in lower case goes on a sentence begun above it (after a list,
    // an example or a command).
    if (std::count(text.begin() + static_cast<std::ptrdiff_t>(i),
                   text.begin() + static_cast<std::ptrdiff_t>(pos), u'\n') >= 2)
        return false;
    const char16_t mark = text[i - 1];
    return i < pos && (mark == u'.' || mark == u'!' || mark == u'?');
}

bool GrammarChecker::StartsSentence(const GrammarText& t, size_t index) {
    const std::u16string& text = t.text();
    const std::vector<TextWord>& words = t.words();
    const size_t start = words[index].pos;
    // An abbreviation written with full stops ("i.e.", "e.g.") is not a word of the sentence.
    const size_t end = start + words[index].len;
    if (end + 1 < text.size() && text[end] == u'.' && u_isalpha(text[end + 1])) return false;
    // A list marker itself: "a) ...".
    if (end < text.size() && text[end] == u')' && words[index].len <= 3) return false;
    if (!AfterSentenceEnd(text, start)) return false;
    const size_t i = BlanksBefore(text, start);
    if (i > 0) {
        if (text[i - 1] == u'.') {
            if (i >= 2 && text[i - 2] == u'.') return false;  // an ellipsis
            const TextWord* previous = index > 0 ? &words[index - 1] : nullptr;
            if (previous && previous->pos + previous->len == i - 1) {
                const std::string lower = WordShape::Lower(WordTokenizer::ToUtf8(
                    std::u16string_view(text).substr(previous->pos, previous->len)));
                if (previous->len == 1 || In(kAbbreviations, lower)) return false;
                if (previous->pos >= 2 && text[previous->pos - 1] == u'.') return false;  // "e.g."
            }
        }
    }
    // Last, as they look at the line: a list item or a line of code starts no sentence.
    return !AfterListMarker(t, start) && !InCodeLine(t, start);
}

bool GrammarChecker::Accept(const GrammarRule& rule, const icu::RegexMatcher& match,
                            const GrammarText& t, std::vector<GrammarProblem>& out) const {
    UErrorCode status = U_ZERO_ERROR;
    const std::u16string& text = t.text();
    const auto pos = static_cast<size_t>(match.start(status));
    const auto end = static_cast<size_t>(match.end(status));
    if (U_FAILURE(status) || end <= pos || Quoted(text, pos, end)) return false;
    if (rule.condition == GrammarRule::Condition::kSentenceStart) {
        const size_t index = WordAt(t.words(), pos);
        if (index == t.words().size() || t.words()[index].inLink ||
            WordShape(std::u16string_view(text).substr(pos, end - pos)).mixedCase() ||
            !StartsSentence(t, index))
            return false;
    } else if (rule.condition != GrammarRule::Condition::kNone) {
        const std::string group = Utf8Of(match.group(rule.group, status));
        const bool vowel = StartsWithVowelSound(group);
        const bool soundFits =
            rule.condition == GrammarRule::Condition::kVowelSound
                ? vowel
                : !vowel && !group.empty() && !(group[0] >= '0' && group[0] <= '9');
        if (U_FAILURE(status) || !soundFits || !ReadAsWord(group)) return false;
    }
    // Last, as only it needs the text's words.
    if (InLink(t.words(), pos)) return false;
    GrammarProblem problem{pos, end - pos, rule.number, {}, {}};
    problem.explanation =
        Fill(rule.explanation, match, [](const std::string& g) { return HtmlEscape(g); });
    for (const std::string& variant : rule.variants)
        problem.variants.push_back(
            FollowingCase(Fill(variant, match, [](const std::string& g) { return g; }), text, pos));
    out.push_back(std::move(problem));
    return true;
}

void GrammarChecker::ApplyRule(const GrammarRule& rule, const RuleAnchor& anchor,
                               const GrammarText& t, const std::vector<size_t>* starts,
                               std::vector<GrammarProblem>& out, const StopCheck& stop) const {
    // Most rules have no anchor in a short text: no matcher is made for them.
    if (starts && starts->empty()) return;
    UErrorCode status = U_ZERO_ERROR;
    const std::u16string& text = t.text();
    const icu::UnicodeString input(false, text.data(), static_cast<int32_t>(text.size()));
    std::unique_ptr<icu::RegexMatcher> match(rule.pattern->matcher(input, status));
    if (U_FAILURE(status)) return;
    match->setTimeLimit(kRuleTimeLimitUnits, status);
    size_t found = 0;
    if (!starts) {
        while (found < kMaxProblems && !(stop && stop()) && match->find(status) &&
               U_SUCCESS(status))
            found += Accept(rule, *match, t, out);
        return;
    }
    // Tried at its anchors only, the rule finds what find() finds: the first match at or after
    // the end of the one before.
    const auto length = static_cast<int64_t>(text.size());
    // Where the next match may start after one at `start` (its end), `start` when there is none
    // there, or kFailed when the rule is over its time (the rest of it is then skipped).
    const auto tryAt = [&](size_t start) -> size_t {
        match->region(static_cast<int64_t>(start), length, status);
        match->useTransparentBounds(true).useAnchoringBounds(false);
        if (U_FAILURE(status)) return kFailed;
        if (!match->lookingAt(status)) return U_FAILURE(status) ? kFailed : start;
        const auto end = static_cast<size_t>(match->end(status));
        return end > start ? end : start + 1;
    };
    // A rule for sentence starts is not tried where no sentence can start: Accept would refuse
    // the match. Such a match could still hide later starts, so when one of those matches, the
    // skipped starts before it are tried after all (only then: matches are rare).
    const bool sentenceStarts = rule.condition == GrammarRule::Condition::kSentenceStart;
    const bool lowerCaseFirst = anchor.lowerCaseFirst();
    std::vector<size_t> skipped;
    size_t from = 0;
    for (size_t start : *starts) {
        if (start < from) continue;
        if (found >= kMaxProblems || (stop && stop())) break;
        if (lowerCaseFirst && !IsLowerCase(text, start)) continue;  // no match there
        if (sentenceStarts && !AfterSentenceEnd(text, start)) {
            skipped.push_back(start);
            continue;
        }
        size_t next = tryAt(start);
        if (next == kFailed) break;
        if (next == start) continue;
        if (!skipped.empty()) {
            for (size_t earlier : skipped) {
                if (earlier < from) continue;
                const size_t after = tryAt(earlier);
                if (after == kFailed) return;
                if (after != earlier) from = after;
            }
            skipped.clear();
            if (from > start) continue;
            next = tryAt(start);
            if (next == kFailed) break;
        }
        from = next;
        found += Accept(rule, *match, t, out);
    }
}

std::vector<GrammarProblem> GrammarChecker::Check(const std::u16string& text,
                                                  const StopCheck& stop) const {
    if (auto known = cache_->Find(text)) return std::move(*known);
    // Only a check that ran to the end is kept.
    bool stopped = false;
    const StopCheck watched = [&stop, &stopped] { return stopped = stopped || stop(); };
    std::vector<GrammarProblem> problems = CheckUncached(text, stop ? watched : StopCheck());
    if (!stopped) cache_->Store(text, problems);
    return problems;
}

std::vector<GrammarProblem> GrammarChecker::CheckUncached(const std::u16string& text,
                                                          const StopCheck& stop) const {
    const GrammarText t(text);
    const std::vector<GrammarRule>& rules = rules_->rules();
    // Each rule's anchors in this text, in text order.
    std::vector<std::vector<size_t>> starts(rules.size());
    const auto add = [&starts](size_t rule, size_t pos) {
        if (starts[rule].empty() || starts[rule].back() != pos) starts[rule].push_back(pos);
    };
    std::vector<char> laterWordSeen(rules.size(), 0);
    const std::vector<GrammarText::Run>& runs = t.runs();
    for (size_t k = 0; k < runs.size(); ++k) {
        const GrammarText::Run& run = runs[k];
        for (size_t rule : anyWordRules_) add(rule, run.pos);
        if (k + 1 < runs.size() && MayRepeat(run.folded, runs[k + 1].folded))
            for (size_t rule : repeatedWordRules_) add(rule, run.pos);
        for (uint32_t node = 0, i = 0; i < run.folded.size(); ++i) {
            node = Next(node, run.folded[i]);
            if (node == 0) break;
            for (size_t rule : trie_[node].anchoredRules) add(rule, run.pos);
            for (size_t rule : trie_[node].laterWordRules) laterWordSeen[rule] = 1;
        }
    }
    for (size_t rule : laterWordRules_)
        if (!laterWordSeen[rule]) starts[rule].clear();
    // The rules that start at marks, in one pass over the text.
    std::vector<size_t> blanksEnd(rules.size(), 0);  // a rule's first position past blanks
    for (size_t pos = 0; pos < text.size(); ++pos) {
        const auto ascii = text[pos] < kAsciiEnd ? text[pos] : kAsciiEnd;
        for (size_t rule : asciiCharRules_[ascii]) {
            const RuleAnchor& anchor = anchors_[rule];
            if (ascii == kAsciiEnd && anchor.chars().find(text[pos]) == std::u16string::npos)
                continue;
            const std::u16string& later = anchor.laterChars();
            if (!later.empty()) {
                size_t& after = blanksEnd[rule];
                if (after <= pos)
                    after = std::min(text.find_first_not_of(anchor.chars(), pos), text.size());
                if (after == text.size() || later.find(text[after]) == std::u16string::npos)
                    continue;
            }
            starts[rule].push_back(pos);
        }
    }
    std::vector<GrammarProblem> out;
    for (size_t i = 0; i < rules.size(); ++i) {
        if (stop && stop()) break;
        const bool everywhere = matching_ == Matching::kEveryPosition ||
                                anchors_[i].kind() == RuleAnchor::Kind::kAnywhere;
        ApplyRule(rules[i], anchors_[i], t, everywhere ? nullptr : &starts[i], out, stop);
        // Each rule stops at the limit: the first kMaxProblems of all are among what is kept,
        // and at most two rules' worth of problems are held at once.
        if (out.size() > kMaxProblems) KeepFirstProblems(out);
    }
    KeepFirstProblems(out);
    return out;
}
