#include "suggest/TypingDistance.h"

#include <unicode/normalizer2.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace {

// Rows of a QWERTY keyboard; the keys of one row are offset by half a key from the next.
constexpr std::array<std::string_view, 3> kRows = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
// Table rows longer than this are kept on the heap.
constexpr size_t kStackLetters = 64;

struct KeyPlace {
    int row = -1;
    int column = 0;
};

constexpr KeyPlace PlaceOf(char32_t c) {
    for (size_t r = 0; r < kRows.size(); ++r)
        for (size_t k = 0; k < kRows[r].size(); ++k)
            if (static_cast<char32_t>(kRows[r][k]) == c)
                return {static_cast<int>(r), static_cast<int>(k)};
    return {};
}

constexpr bool Touch(char32_t a, char32_t b) {
    if ((a == U'y' && b == U'z') || (a == U'z' && b == U'y')) return true;  // QWERTZ
    const KeyPlace pa = PlaceOf(a), pb = PlaceOf(b);
    if (pa.row < 0 || pb.row < 0) return false;
    if (pa.row == pb.row) return pa.column - pb.column == 1 || pb.column - pa.column == 1;
    if (pa.row - pb.row != 1 && pb.row - pa.row != 1) return false;
    // The lower row sits half a key to the right: "a" touches "q" and "w".
    const KeyPlace& upper = pa.row < pb.row ? pa : pb;
    const KeyPlace& lower = pa.row < pb.row ? pb : pa;
    return lower.column == upper.column || lower.column + 1 == upper.column;
}

using NeighbourTable = std::array<std::array<bool, 26>, 26>;

constexpr NeighbourTable MakeNeighbourTable() {
    NeighbourTable table{};
    for (char32_t a = 0; a < 26; ++a)
        for (char32_t b = 0; b < 26; ++b) table[a][b] = Touch(U'a' + a, U'a' + b);
    return table;
}

constexpr NeighbourTable kNeighbours = MakeNeighbourTable();

// The German keys right of "p" and "l" on a QWERTZ keyboard, with the keys they touch.
constexpr std::array<std::pair<char32_t, char32_t>, 6> kGermanNeighbours = {
    {{U'ü', U'p'}, {U'ü', U'ö'}, {U'ü', U'ä'}, {U'ö', U'l'}, {U'ö', U'p'}, {U'ö', U'ä'}}};

// Letters with accents lie in Latin-1 and Latin Extended-A/B; their bases are looked up once.
constexpr char32_t kFirstAccented = 0xC0;
constexpr char32_t kLastAccented = 0x24F;

std::array<char32_t, kLastAccented - kFirstAccented + 1> MakeBaseTable() {
    std::array<char32_t, kLastAccented - kFirstAccented + 1> table{};
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    for (char32_t c = kFirstAccented; c <= kLastAccented; ++c) {
        icu::UnicodeString parts;
        table[c - kFirstAccented] = c;
        if (U_SUCCESS(status) && nfd->getDecomposition(static_cast<UChar32>(c), parts) &&
            parts.length() > 0 && parts.char32At(0) < 0x80)
            table[c - kFirstAccented] = static_cast<char32_t>(parts.char32At(0));
    }
    return table;
}

// "ä" written "ae" and the like: the letter and the two letters it is written out as.
struct SpelledOut {
    char32_t letter;
    char32_t first;
    char32_t second;
};
constexpr std::array<SpelledOut, 4> kWrittenOut = {
    {{U'ä', U'a', U'e'}, {U'ö', U'o', U'e'}, {U'ü', U'u', U'e'}, {U'ß', U's', U's'}}};

bool WrittenOut(char32_t letter, char32_t first, char32_t second) {
    for (const SpelledOut& s : kWrittenOut)
        if (s.letter == letter && s.first == first && s.second == second) return true;
    return false;
}

constexpr bool IsAsciiVowel(char32_t c) {
    return c == U'a' || c == U'e' || c == U'i' || c == U'o' || c == U'u' || c == U'y';
}

double SlowSubstitutionCost(char32_t a, char32_t b) {
    if (a == b) return 0;
    if ((a >= kFirstAccented || b >= kFirstAccented) &&
        TypingDistance::Base(a) == TypingDistance::Base(b))
        return TypingDistance::kAccent;
    if (IsAsciiVowel(a) && IsAsciiVowel(b)) return TypingDistance::kVowelForVowel;
    if (TypingDistance::Neighbours(a, b)) return TypingDistance::kNeighbourKey;
    return 1;
}

// The cost of every substitution between a-z letters, read from a table in the inner loop.
using CostTable = std::array<std::array<double, 26>, 26>;

constexpr CostTable MakeCostTable() {
    CostTable table{};
    for (char32_t a = 0; a < 26; ++a)
        for (char32_t b = 0; b < 26; ++b)
            table[a][b] = a == b ? 0
                          : IsAsciiVowel(U'a' + a) && IsAsciiVowel(U'a' + b)
                              ? TypingDistance::kVowelForVowel
                          : kNeighbours[a][b] ? TypingDistance::kNeighbourKey
                                              : 1;
    return table;
}

constexpr CostTable kCosts = MakeCostTable();

double SubstitutionCost(char32_t a, char32_t b) {
    if (a - U'a' < 26 && b - U'a' < 26) return kCosts[a - U'a'][b - U'a'];
    return SlowSubstitutionCost(a, b);
}

// Cost of the letter at `at` of `s` standing alone (`otherwise` when it does not double a
// neighbour).
double InsertionCost(std::u32string_view s, size_t at, double otherwise = 1) {
    const bool doubled =
        (at > 0 && s[at - 1] == s[at]) || (at + 1 < s.size() && s[at + 1] == s[at]);
    return doubled ? TypingDistance::kDoubling : otherwise;
}

}  // namespace

bool TypingDistance::Neighbours(char32_t a, char32_t b) {
    if (a >= U'a' && a <= U'z' && b >= U'a' && b <= U'z') return kNeighbours[a - U'a'][b - U'a'];
    for (const auto& [x, y] : kGermanNeighbours)
        if ((a == x && b == y) || (a == y && b == x)) return true;
    return false;
}

char32_t TypingDistance::Base(char32_t letter) {
    static const auto kBases = MakeBaseTable();
    if (letter < kFirstAccented || letter > kLastAccented) return letter;
    return kBases[letter - kFirstAccented];
}

double TypingDistance::Between(std::u32string_view typed, std::u32string_view word, double limit) {
    const size_t n = typed.size(), m = word.size();
    // Three rows of the table (two back for swaps, one back, the current one) and the cost of
    // dropping each letter of `word`, which is the same in every row.
    std::array<double, 4 * (kStackLetters + 1)> onStack;
    std::vector<double> onHeap(m < kStackLetters ? 0 : 4 * (m + 1));
    double* cells = m < kStackLetters ? onStack.data() : onHeap.data();
    double* before = cells;
    double* previous = cells + m + 1;
    double* current = cells + 2 * (m + 1);
    double* dropped = cells + 3 * (m + 1);
    std::fill(cells, cells + 3 * (m + 1), 0.0);
    for (size_t j = 1; j <= m; ++j) {
        dropped[j] = InsertionCost(word, j - 1, kDroppedLetter);
        previous[j] = previous[j - 1] + dropped[j];
    }
    double previousBest = 0;
    for (size_t i = 1; i <= n; ++i) {
        const char32_t t = typed[i - 1];
        const char32_t t2 = i > 1 ? typed[i - 2] : 0;
        const double extra =
            InsertionCost(typed, i - 1, t == U'e' && i > 1 ? TypingDistance::kExtraE : 1);
        current[0] = previous[0] + extra;
        double rowBest = current[0];
        for (size_t j = 1; j <= m; ++j) {
            const char32_t w = word[j - 1];
            double best = previous[j - 1] + SubstitutionCost(t, w);
            best = std::min(best, previous[j] + extra);
            best = std::min(best, current[j - 1] + dropped[j]);
            if (i > 1 && j > 1 && t == word[j - 2] && t2 == w && t != t2)
                best = std::min(best, before[j - 2] + kSwap);
            if (i > 1 && w >= kFirstAccented && WrittenOut(w, t2, t))
                best = std::min(best, before[j - 1] + kSpelledOut);
            current[j] = best;
            rowBest = std::min(rowBest, best);
        }
        // A swap reaches back two rows, so stop only when this row and the one before are over.
        if (rowBest > limit && i > 1 && previousBest > limit) return rowBest;
        previousBest = rowBest;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[m];
}
