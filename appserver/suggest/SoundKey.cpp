#include "suggest/SoundKey.h"

#include "suggest/TypingDistance.h"

namespace {

bool IsVowel(char32_t letter) {
    const char32_t c = TypingDistance::Base(letter);  // "ü" is a "u" sound too
    return c == U'a' || c == U'e' || c == U'i' || c == U'o' || c == U'u' || c == U'y';
}

// The sound of the letter at `i` (and how many letters it takes), empty for a silent one.
std::u32string_view SoundAt(std::u32string_view w, size_t i, size_t& taken,
                            SoundKey::Spelling spelling) {
    const char32_t c = w[i];
    const char32_t next = i + 1 < w.size() ? w[i + 1] : 0;
    taken = 1;
    // A last "e" after a consonant is silent in English ("taste", "come").
    if (spelling == SoundKey::Spelling::kEnglish && c == U'e' && i + 1 == w.size() && i > 0 &&
        !IsVowel(w[i - 1]))
        return U"";
    if (IsVowel(c)) return U"*";
    switch (c) {
        case U'p':
            if (next == U'h') return taken = 2, U"f";
            return U"p";
        case U'c':
            if (next == U'k') return taken = 2, U"k";
            if (next == U'h') return taken = 2, U"x";
            if (next == U'e' || next == U'i' || next == U'y') return U"s";
            return U"k";
        case U'q':
            return U"k";
        case U'z':
            return U"s";
        case U'x':
            return U"ks";
        case U'd':
            if (next == U'g') return taken = 2, U"j";
            return U"d";
        case U'g':
            if (next == U'h') return taken = 2, U"";
            return U"g";
        case U'k':
            if (i == 0 && next == U'n') return U"";
            return U"k";
        case U'w':
            if (i == 0 && next == U'r') return U"";
            if (next == U'h') return taken = 2, U"w";
            return U"w";
        case U's':
            if (next == U'h') return taken = 2, U"x";
            return U"s";
        case U't':
            if (next == U'h') return taken = 2, U"0";
            return U"t";
        case U'h':  // after a consonant or at the end, "h" is not heard
            if (i > 0 && !IsVowel(w[i - 1])) return U"";
            return U"h";
        default:
            return std::u32string_view(&w[i], 1);
    }
}

}  // namespace

std::u32string SoundKey::Of(std::u32string_view lower, Spelling spelling) {
    std::u32string key;
    key.reserve(lower.size());
    for (size_t i = 0; i < lower.size();) {
        size_t taken = 1;
        for (const char32_t sound : SoundAt(lower, i, taken, spelling))
            if (key.empty() || key.back() != sound) key.push_back(sound);
        i += taken;
    }
    return key;
}
