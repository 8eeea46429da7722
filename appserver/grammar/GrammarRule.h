#pragma once
// One rule of the grammar rule table: a regular expression over the text, an optional condition
// the match must meet, the replacement variants and the explanation shown to the user.
#include <unicode/regex.h>

#include <memory>
#include <string>
#include <vector>

struct GrammarRule {
    // What the match must meet besides the pattern.
    enum class Condition {
        kNone,
        kSentenceStart,   // the match is a word that starts a sentence
        kVowelSound,      // capture group `group` starts with a vowel sound ("an" belongs)
        kConsonantSound,  // capture group `group` starts with a consonant sound ("a" belongs)
    };

    int number = 0;
    Condition condition = Condition::kNone;
    int group = 0;
    std::shared_ptr<const icu::RegexPattern> pattern;
    // Templates: "$0".."$9" stand for capture groups, "$^N" for group N with a capital first
    // letter. In the explanation (HTML) the groups are HTML-escaped.
    std::vector<std::string> variants;
    std::string explanation;
};
