#pragma once
// The parameters shared by the spelling functions, decoded: language, custom dictionary ids
// (unused), options, text, ignored words, user dictionaries and, for check_spelling4 only,
// ignored positions.
//
// Options: up to five characters, each "1" (on) or anything else (off): ignore words in
// capitals, ignore words with digits, ignore mixed-case words, ignore domain names, e-mail
// addresses and URLs; the fifth is reserved. Ignored words: comma-separated, exact.
// User dictionaries: comma-separated; "$name" names a personal dictionary, anything else is an
// accepted word. Ignored positions: comma-separated decimals; other entries are skipped.
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

struct SpellOptions {
    bool ignoreCapitals = false;
    bool ignoreWithDigits = false;
    bool ignoreMixedCase = false;
    bool ignoreLinks = false;
};

class SpellRequest {
  public:
    // `params` holds 6 or 7 entries (checked by the caller).
    static SpellRequest Parse(const std::vector<std::string>& params);

    std::string language;
    SpellOptions options;
    std::string text;
    std::unordered_set<std::string> ignoredWords;
    std::vector<std::string> acceptedWords;         // plain entries of the user dictionaries
    std::vector<std::string> personalDictionaries;  // "$name" entries, without "$"
    std::set<size_t> ignoredPositions;
};
