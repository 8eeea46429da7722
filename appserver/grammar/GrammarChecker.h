#pragma once
// The grammar checker for English: the rules of a GrammarRuleTable (grammar-en.rules) applied
// to a text. The first seven rule numbers are part of the protocol:
//   1 repeated word ("as as")           2 "a" before a vowel sound ("a apple")
//   3 "an" before a consonant sound     4 a sentence that starts in lower case
//   5 "of" after a modal ("could of")   6 "then" after a comparative ("more then")
//   7 "your welcome"
// Problems come in text order; each has an explanation (HTML, the text's words escaped) and at
// least one variant. Matches that start inside a link (domain name, e-mail address, URL) are
// left out. Each rule's matching is bounded in time, so no text can hold a worker for long, and
// only the first kMaxProblems problems are reported (each holds its explanation and variants:
// a long text full of problems would otherwise cost hundreds of megabytes).
// A rule is tried only where its match can start (see RuleAnchor): at the words its pattern
// begins with, at every word, or at the marks it begins with; at every position only when its
// pattern tells nothing.
// Immutable after construction but for its result cache, thread-safe.
#include <unicode/regex.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "grammar/GrammarProblem.h"
#include "grammar/GrammarResultCache.h"
#include "grammar/GrammarRuleTable.h"
#include "grammar/GrammarText.h"
#include "grammar/RuleAnchor.h"

class GrammarChecker {
  public:
    enum Rule {
        kRepeatedWord = 1,
        kAVowel = 2,
        kAnConsonant = 3,
        kLowerCaseStart = 4,
        kModalOf = 5,
        kThenThan = 6,
        kYourWelcome = 7,
    };

    // Where rules are tried: at their anchors, or (the slow baseline that benchmarks compare
    // with) at every position of the text. Both find the same problems.
    enum class Matching { kAnchored, kEveryPosition };

    static constexpr size_t kMaxProblems = 10000;
    // What the problems of recently checked texts may take (see GrammarResultCache).
    static constexpr size_t kResultCacheBytes = 4 << 20;

    // The rules of GrammarRuleTable::Default().
    GrammarChecker();
    explicit GrammarChecker(std::shared_ptr<const GrammarRuleTable> rules,
                            Matching matching = Matching::kAnchored,
                            size_t resultCacheBytes = kResultCacheBytes);

    // Asked between the steps of a check; once it answers true the check ends early.
    using StopCheck = std::function<bool()>;

    // The problems of `text` in text order; when `stop` ends the check, those found so far.
    // A text checked before to the end is answered from the result cache.
    std::vector<GrammarProblem> Check(const std::u16string& text, const StopCheck& stop = {}) const;

    const GrammarRuleTable& rules() const { return *rules_; }

    // True when the article "an" belongs before `word` (UTF-8 as written).
    static bool StartsWithVowelSound(const std::string& word);

  private:
    std::vector<GrammarProblem> CheckUncached(const std::u16string& text,
                                              const StopCheck& stop) const;
    static bool StartsSentence(const GrammarText& text, size_t index);
    // The start of the blanks (white space) that end just before `pos`.
    static size_t BlanksBefore(const std::u16string& text, size_t pos);
    // Whether a sentence may start at `pos` as far as the text before it tells: only blanks
    // before it, or a sentence mark, blanks with at most one line break, then `pos`.
    static bool AfterSentenceEnd(const std::u16string& text, size_t pos);
    // Adds the problem of one match unless the rule's condition rules it out; true when added.
    bool Accept(const GrammarRule& rule, const icu::RegexMatcher& match, const GrammarText& text,
                std::vector<GrammarProblem>& out) const;
    // Tries `rule` at `starts` (ascending), or at every position when `starts` is null.
    void ApplyRule(const GrammarRule& rule, const RuleAnchor& anchor, const GrammarText& text,
                   const std::vector<size_t>* starts, std::vector<GrammarProblem>& out,
                   const StopCheck& stop) const;

    std::shared_ptr<const GrammarRuleTable> rules_;
    Matching matching_ = Matching::kAnchored;
    std::vector<RuleAnchor> anchors_;  // one per rule
    std::vector<size_t> anyWordRules_;
    std::vector<size_t> repeatedWordRules_;  // see RuleAnchor::repeatsWord()
    // ASCII mark -> the rules that start with it; [kAsciiEnd]: the rules that start with some
    // other mark (their chars() tell which).
    static constexpr char16_t kAsciiEnd = 0x80;
    std::array<std::vector<size_t>, kAsciiEnd + 1> asciiCharRules_;
    // The anchor words and later words (RuleAnchor::laterWords()) of the rules, case-folded, in
    // a trie: a letter run's kept letters are walked once, however many words begin alike.
    struct TrieNode {
        std::vector<std::pair<char16_t, uint32_t>> next;  // sorted by letter
        std::vector<size_t> anchoredRules;                // this node's word anchors them
        std::vector<size_t> laterWordRules;               // this node's word is a later word of
    };
    // The node of `word`, added with the nodes before it when missing.
    uint32_t AddWord(const std::u16string& word);
    // The child of `node` for `c`, or 0 (the root) when there is none.
    uint32_t Next(uint32_t node, char16_t c) const;

    std::vector<TrieNode> trie_ = std::vector<TrieNode>(1);  // trie_[0] is the root
    std::vector<size_t> laterWordRules_;                     // the rules that have later words
    std::unique_ptr<GrammarResultCache> cache_;
};
