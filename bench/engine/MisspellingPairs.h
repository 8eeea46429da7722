#pragma once
// Misspelling -> correct word pairs for the suggestion benchmarks.
#include <string>
#include <vector>

struct MisspellingPair {
    std::string correct;
    std::string wrong;
};

class MisspellingPairs {
  public:
    // Roger Mitton's format: "$correct" then its misspellings, one a line; "_" is a blank.
    static std::vector<MisspellingPair> LoadMitton(const std::string& path);
    // codespell's dictionary: "typo->correction" lines; lines with several corrections (a
    // comma) or a reason are left out.
    static std::vector<MisspellingPair> LoadCodespell(const std::string& path);
    // Every k-th pair so that at most `limit` remain, spread over the whole list.
    static std::vector<MisspellingPair> Spread(const std::vector<MisspellingPair>& pairs,
                                               size_t limit);
};
