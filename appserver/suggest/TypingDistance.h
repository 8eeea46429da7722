#pragma once
// How far a typed word is from a dictionary word, counted in typing slips of different weight:
// a weighted edit distance (insertions, deletions, substitutions and swaps of two neighbouring
// letters) over lower-case letters. Slips that people make often cost less than a full edit:
//   - a letter swapped with its neighbour ("teh" for "the")            kSwap
//   - a letter doubled or a double letter typed once ("ocured")         kDoubling
//   - a key next to the right one on the keyboard ("brpwn")            kNeighbourKey
//   - one vowel for another ("seperate")                                kVowelForVowel
//   - a letter left out ("happend"), the most common slip of all        kDroppedLetter
//   - an "e" too many after the first letter ("appeares", "develope")   kExtraE
//   - a letter without its accent or dots ("Madchen", "cafe")           kAccent
//   - an umlaut or "ß" written out ("Maedchen", "Strasse")             kSpelledOut
// any other insertion, deletion or substitution costs 1. The weights are those that put the
// right word first most often on the development half of Debian's codespell list (the suggestion
// bench's --development), held against its other lists. Pure functions, thread-safe.
#include <string_view>

class TypingDistance {
  public:
    static constexpr double kSwap = 0.6;
    static constexpr double kDoubling = 0.4;
    static constexpr double kNeighbourKey = 0.8;
    static constexpr double kVowelForVowel = 0.7;
    static constexpr double kDroppedLetter = 0.5;
    static constexpr double kExtraE = 0.7;
    static constexpr double kAccent = 0.2;
    // Writing an umlaut out is a spelling convention (no umlaut keys), nearly never a slip.
    static constexpr double kSpelledOut = 0.1;

    // Both words in lower case. Work is proportional to the product of the lengths. Once every
    // path costs more than `limit` the count stops and returns a value above `limit`.
    static double Between(std::u32string_view typed, std::u32string_view word, double limit = 1e9);
    // Whether the two keys touch on a QWERTY (or QWERTZ) keyboard; lower-case letters a-z and
    // the German keys ä, ö and ü.
    static bool Neighbours(char32_t a, char32_t b);
    // The letter without its accent ("é" -> "e"); the letter itself when it has none.
    static char32_t Base(char32_t letter);
};
