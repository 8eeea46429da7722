#pragma once
// Misspelling -> correct word pairs for the suggestion benchmarks.
#include <string>
#include <vector>

struct MisspellingPair {
    std::string correct;
    std::string wrong;
    // Whether the correct answer is two words or more ("a lot" for "alot").
    bool Split() const { return correct.find(' ') != std::string::npos; }
};

class MisspellingPairs {
  public:
    // Roger Mitton's format: "$correct" then its misspellings, one a line; "_" is a blank.
    static std::vector<MisspellingPair> LoadMitton(const std::string& path);
    // codespell's dictionary: "typo->correction" lines, the correction one word or words
    // separated by blanks ("alot->a lot"); lines with several corrections or a reason (a comma)
    // are left out.
    static std::vector<MisspellingPair> LoadCodespell(const std::string& path);
    // Every k-th pair so that at most `limit` remain, spread over the whole list.
    template <typename T>
    static std::vector<T> Spread(const std::vector<T>& items, size_t limit) {
        if (limit == 0 || items.size() <= limit) return items;
        std::vector<T> out;
        const double step = static_cast<double>(items.size()) / static_cast<double>(limit);
        for (size_t i = 0; i < limit; ++i) out.push_back(items[static_cast<size_t>(i * step)]);
        return out;
    }
};
