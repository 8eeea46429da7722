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
// Immutable after construction, thread-safe.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grammar/GrammarProblem.h"
#include "grammar/GrammarRuleTable.h"
#include "spell/TextWord.h"

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

    static constexpr size_t kMaxProblems = 10000;

    // The rules of GrammarRuleTable::Default().
    GrammarChecker();
    explicit GrammarChecker(std::shared_ptr<const GrammarRuleTable> rules);

    // Asked between the steps of a check; once it answers true the check ends early.
    using StopCheck = std::function<bool()>;

    // The problems of `text` in text order; when `stop` ends the check, those found so far.
    std::vector<GrammarProblem> Check(const std::u16string& text, const StopCheck& stop = {}) const;

    // True when the article "an" belongs before `word` (UTF-8 as written).
    static bool StartsWithVowelSound(const std::string& word);

  private:
    static bool StartsSentence(const std::u16string& text, const std::vector<TextWord>& words,
                               size_t index);
    void ApplyRule(const GrammarRule& rule, const std::u16string& text,
                   const std::vector<TextWord>& words, std::vector<GrammarProblem>& out,
                   const StopCheck& stop) const;

    std::shared_ptr<const GrammarRuleTable> rules_;
};
