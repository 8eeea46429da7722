#include "TypoMaker.h"

#include <array>
#include <string_view>

#include "suggest/Letters.h"

namespace {

constexpr std::array<std::u32string_view, 3> kRows = {U"qwertzuiopü", U"asdfghjklöä", U"yxcvbnm"};
constexpr std::array<std::u32string_view, 3> kEnglishRows = {U"qwertyuiop", U"asdfghjkl",
                                                             U"zxcvbnm"};
constexpr std::u32string_view kLetters = U"abcdefghijklmnopqrstuvwxyz";

// A key beside `c` on the same row, or `c` when it is on no row.
char32_t NeighbourOf(char32_t c, bool german, size_t pick) {
    for (const std::u32string_view row : german ? kRows : kEnglishRows) {
        const size_t at = row.find(c);
        if (at == std::u32string_view::npos) continue;
        if (at == 0) return row[1];
        if (at + 1 == row.size()) return row[at - 1];
        return row[pick % 2 == 0 ? at - 1 : at + 1];
    }
    return c;
}

struct Umlaut {
    char32_t letter;
    char32_t plain;
    std::u32string_view written;
};
constexpr std::array<Umlaut, 7> kUmlauts = {{{U'ä', U'a', U"ae"},
                                             {U'ö', U'o', U"oe"},
                                             {U'ü', U'u', U"ue"},
                                             {U'Ä', U'A', U"Ae"},
                                             {U'Ö', U'O', U"Oe"},
                                             {U'Ü', U'U', U"Ue"},
                                             {U'ß', U's', U"ss"}}};

}  // namespace

TypoMaker::TypoMaker(bool german, uint32_t seed) : german_(german), random_(seed) {}

std::vector<MisspellingPair> TypoMaker::Make(const std::vector<std::string>& words) {
    std::vector<MisspellingPair> out;
    for (const std::string& word : words) {
        const std::u32string letters = Letters::FromUtf8(word);
        if (letters.size() < 3) continue;
        const std::u32string slipped = Slip(letters);
        if (slipped != letters) out.push_back({word, Letters::ToUtf8(slipped)});
    }
    return out;
}

std::u32string TypoMaker::Slip(std::u32string w) {
    const size_t kinds = german_ ? 9 : 6;
    const size_t at = Below(w.size());
    switch (Below(kinds)) {
        case 0:  // a letter left out
            w.erase(at, 1);
            break;
        case 1:  // a letter doubled
            w.insert(at, 1, w[at]);
            break;
        case 2:  // a double letter typed once, else two neighbours swapped
            for (size_t i = 1; i < w.size(); ++i)
                if (w[i] == w[i - 1]) return w.erase(i, 1);
            [[fallthrough]];
        case 3:  // two neighbours swapped
            if (at + 1 < w.size()) std::swap(w[at], w[at + 1]);
            break;
        case 4:  // the key beside
            w[at] = NeighbourOf(w[at], german_, Below(2));
            break;
        case 5:  // any other letter
            w[at] = kLetters[Below(kLetters.size())];
            break;
        case 6:  // an umlaut written out, or its dots left off
        case 7:
            for (size_t i = 0; i < w.size(); ++i)
                for (const Umlaut& u : kUmlauts)
                    if (w[i] == u.letter) {
                        if (Below(2) == 0) return w.replace(i, 1, u.written);
                        w[i] = u.plain;
                        return w;
                    }
            w.erase(at, 1);
            break;
        default:  // a noun in lower case, else a dropped letter
            if (w[0] >= U'A' && w[0] <= U'Z')
                w[0] = w[0] - U'A' + U'a';
            else
                w.erase(at, 1);
            break;
    }
    return w;
}
