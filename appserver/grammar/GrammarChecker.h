#pragma once
// A small rule engine for English. Rules and their stable numbers:
//   1 repeated word ("as as")           2 "a" before a vowel sound ("a apple")
//   3 "an" before a consonant sound     4 a sentence that starts in lower case
//   5 "of" after a modal ("could of")   6 "then" after a comparative ("more then")
//   7 "your welcome"
// Problems come in text order; each has an explanation and at least one variant.
// Pure, thread-safe.
#include <string>
#include <vector>

#include "grammar/GrammarProblem.h"
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

    std::vector<GrammarProblem> Check(const std::u16string& text) const;

    // True when the article "an" belongs before `word` (UTF-8 as written).
    static bool StartsWithVowelSound(const std::string& word);

  private:
    static bool OnlyBlanksBetween(const std::u16string& text, const TextWord& a, const TextWord& b);
    static bool StartsSentence(const std::u16string& text, const std::vector<TextWord>& words,
                               size_t index);
    static void CheckPair(const std::u16string& text, const TextWord& a, const TextWord& b,
                          std::vector<GrammarProblem>& out);
};
