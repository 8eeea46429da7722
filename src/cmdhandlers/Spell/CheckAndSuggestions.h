#pragma once
// The engine's "check_and_suggestions" answer: an incorrect part, optionally "\" and a correct
// part. The incorrect part holds entries "word:s1<LF>s2;" separated by runs of ";" and LF (the
// suggestions are separated by LF; "no_any_suggestions" stands for none); the correct part holds
// words separated by ",". Answers come from outside: any bytes are read, nothing throws.
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

struct CheckAndSuggestions {
    using Entry = std::pair<std::string, std::vector<std::string>>;  // word, suggestions
    std::vector<Entry> incorrect;
    std::vector<std::string> correct;

    // The suggestions of each incorrect word (its first entry), for lookups in constant time.
    // The views point into `incorrect`: the index lives no longer than this object, unchanged.
    std::unordered_map<std::string_view, const std::vector<std::string>*> Index() const;
};

// An entry without ":" is a word without suggestions; empty words and empty suggestions are
// left out.
CheckAndSuggestions ParseCheckAndSuggestions(std::string_view answer);
