#pragma once
// The engine's "check_and_suggestions" answer: an incorrect part, optionally "\" and a correct
// part. The incorrect part holds entries "word:s1<LF>s2;" separated by runs of ";" and LF (the
// suggestions are separated by LF; "no_any_suggestions" stands for none); the correct part holds
// words separated by ",". Answers come from outside: any bytes are read, nothing throws.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct CheckAndSuggestions {
    using Entry = std::pair<std::string, std::vector<std::string>>;  // word, suggestions
    std::vector<Entry> incorrect;
    std::vector<std::string> correct;

    // The suggestions of `word` when it is among the incorrect entries (the first such entry).
    const std::vector<std::string>* SuggestionsOf(std::string_view word) const;
};

// An entry without ":" is a word without suggestions; empty words and empty suggestions are
// left out.
CheckAndSuggestions ParseCheckAndSuggestions(std::string_view answer);
