#include "spell/AsciiWordBreaker.h"

#include <array>
#include <cstdint>

namespace {

// Word break classes of the ASCII characters as ICU 72's root rules see them: '@' is a letter,
// ':' is no MidLetter (it breaks like any other character).
enum class Kind : uint8_t { kOther, kLetter, kDigit, kConnector, kMidNumLet, kMidNum };

constexpr std::array<Kind, 128> MakeKinds() {
    std::array<Kind, 128> kinds{};
    for (int c = 'a'; c <= 'z'; ++c) kinds[c] = Kind::kLetter;
    for (int c = 'A'; c <= 'Z'; ++c) kinds[c] = Kind::kLetter;
    kinds['@'] = Kind::kLetter;
    for (int c = '0'; c <= '9'; ++c) kinds[c] = Kind::kDigit;
    kinds['_'] = Kind::kConnector;
    kinds['.'] = Kind::kMidNumLet;
    kinds['\''] = Kind::kMidNumLet;
    kinds[','] = Kind::kMidNum;
    kinds[';'] = Kind::kMidNum;
    return kinds;
}

constexpr std::array<Kind, 128> kKinds = MakeKinds();

Kind KindOf(char c) { return kKinds[static_cast<unsigned char>(c) & 0x7F]; }

bool IsWordKind(Kind k) { return k == Kind::kLetter || k == Kind::kDigit || k == Kind::kConnector; }

// Whether `mid` joins a `before` and an `after` character into one segment: a full stop or an
// apostrophe between letters, those and ',' ';' between digits.
bool Joins(Kind before, Kind mid, Kind after) {
    if (before != after) return false;
    if (before == Kind::kLetter) return mid == Kind::kMidNumLet;
    return before == Kind::kDigit && (mid == Kind::kMidNumLet || mid == Kind::kMidNum);
}

}  // namespace

size_t AsciiWordBreaker::SegmentEnd(size_t begin) const {
    Kind last = KindOf(text_[begin]);
    size_t i = begin + 1;
    while (i < text_.size()) {
        const Kind kind = KindOf(text_[i]);
        if (IsWordKind(kind)) {
            last = kind;
            ++i;
        } else if (i + 1 < text_.size() && Joins(last, kind, KindOf(text_[i + 1]))) {
            i += 2;
        } else {
            break;
        }
    }
    return i;
}

bool AsciiWordBreaker::Next(size_t& begin, size_t& end) {
    while (at_ < text_.size()) {
        if (!IsWordKind(KindOf(text_[at_]))) {
            ++at_;
            continue;
        }
        begin = at_;
        end = at_ = SegmentEnd(begin);
        if (end - begin > 1 || text_[begin] != '_') return true;
    }
    return false;
}
