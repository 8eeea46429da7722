#pragma once
// Misspellings made from correct words, one typing slip each, for the suggestion benchmark's
// lists that no one collected: English words of the common tiers and German words. The kind of
// slip is drawn uniformly, not by how the engine weighs it, so that the list does not favour
// the engine's own error model: a dropped letter, a doubled letter, a double letter typed once,
// two neighbours swapped, a neighbouring key, any other letter; for German also an umlaut
// written out ("ae" for "ä"), an umlaut without its dots, "ss" for "ß" and a noun written in
// lower case. The same seed gives the same list.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "MisspellingPairs.h"

class TypoMaker {
  public:
    explicit TypoMaker(bool german, uint32_t seed = 29);

    // One misspelling per word of `words` (in order), left out where no slip applies.
    std::vector<MisspellingPair> Make(const std::vector<std::string>& words);

  private:
    std::u32string Slip(std::u32string word);
    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(random_() % n); }

    const bool german_;
    std::mt19937 random_;
};
