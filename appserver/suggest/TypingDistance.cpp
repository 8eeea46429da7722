#include "suggest/TypingDistance.h"

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

bool IsVowel(char32_t c) {
    return c < 0x80 && std::string_view("aeiouy").find(char(c)) != std::string_view::npos;
}

double SubstitutionCost(char32_t a, char32_t b) {
    if (a == b) return 0;
    if (IsVowel(a) && IsVowel(b)) return TypingDistance::kVowelForVowel;
    if (TypingDistance::Neighbours(a, b)) return TypingDistance::kNeighbourKey;
    return 1;
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
    if (a < U'a' || a > U'z' || b < U'a' || b > U'z') return false;
    return kNeighbours[a - U'a'][b - U'a'];
}

double TypingDistance::Between(std::u32string_view typed, std::u32string_view word, double limit) {
    const size_t n = typed.size(), m = word.size();
    // Three rows of the table: two back (for swaps), one back, and the current one.
    std::array<double, 3 * (kStackLetters + 1)> onStack;
    std::vector<double> onHeap(m < kStackLetters ? 0 : 3 * (m + 1));
    double* cells = m < kStackLetters ? onStack.data() : onHeap.data();
    double* before = cells;
    double* previous = cells + m + 1;
    double* current = cells + 2 * (m + 1);
    std::fill(cells, cells + 3 * (m + 1), 0.0);
    for (size_t j = 1; j <= m; ++j)
        previous[j] = previous[j - 1] + InsertionCost(word, j - 1, kDroppedLetter);
    for (size_t i = 1; i <= n; ++i) {
        current[0] = previous[0] + InsertionCost(typed, i - 1);
        double rowBest = current[0];
        for (size_t j = 1; j <= m; ++j) {
            double best = previous[j - 1] + SubstitutionCost(typed[i - 1], word[j - 1]);
            best = std::min(best, previous[j] + InsertionCost(typed, i - 1));
            best = std::min(best, current[j - 1] + InsertionCost(word, j - 1, kDroppedLetter));
            if (i > 1 && j > 1 && typed[i - 1] == word[j - 2] && typed[i - 2] == word[j - 1] &&
                typed[i - 1] != typed[i - 2])
                best = std::min(best, before[j - 2] + kSwap);
            current[j] = best;
            rowBest = std::min(rowBest, best);
        }
        // A swap reaches back two rows, so stop only when this row and the one before are over.
        if (rowBest > limit && i > 1 && *std::min_element(previous, previous + m + 1) > limit)
            return rowBest;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[m];
}
