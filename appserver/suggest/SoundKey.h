#pragma once
// A word's sound skeleton, so that misspellings made by ear ("desiar", "studing", "fisical")
// find the word that sounds the same: lower-case letters with the spellings of one sound made
// one ("ph" and "f", "c" before e/i/y and "s", "ck", "c", "q" and "k", "z" and "s", "dg" and
// "j"), silent letters dropped ("kn", "wr" and "gh"; in English also a last "e" after a consonant),
// doubled letters made single, and each run of vowels (y included) made one "*". Letters other than
// a-z are kept as they are. Pure function, thread-safe; work linear in the word.
#include <string>
#include <string_view>

class SoundKey {
  public:
    // Whose spelling rules apply beyond those above.
    enum class Spelling { kAny, kEnglish };
    // `lower`: the word's letters in lower case.
    static std::u32string Of(std::u32string_view lower, Spelling spelling = Spelling::kAny);
};
