#include "admin/SiteSelection.h"

namespace vdirkit {

SiteSelection::Outcome SiteSelection::Feed(char byte, bool moreFollows) {
    if (escapeState_ == 1) {
        escapeState_ = byte == '[' || byte == 'O' ? 2 : 0;
        return escapeState_ == 2 ? Outcome::Continue : Outcome::Cancel;
    }
    if (escapeState_ == 2) {
        escapeState_ = 0;
        if (byte == 'A') Move(-1);
        if (byte == 'B') Move(1);
        return Outcome::Continue;
    }
    switch (byte) {
        case '\x1b':
            if (!moreFollows) return Outcome::Cancel;
            escapeState_ = 1;
            return Outcome::Continue;
        case 'q':
        case 'Q':
            return Outcome::Cancel;
        case '\r':
        case '\n':
            return Outcome::Ok;
        case 'k':
            Move(-1);
            return Outcome::Continue;
        case 'j':
            Move(1);
            return Outcome::Continue;
        default:
            if (byte >= '0' && byte <= '9') Type(byte);
            return Outcome::Continue;
    }
}

void SiteSelection::Move(int step) {
    typed_.clear();
    if (step < 0 && position_ > 0) --position_;
    if (step > 0 && position_ + 1 < count_) ++position_;
}

// Entry numbers start at 1; a number that fits no entry starts over with this digit.
void SiteSelection::Type(char digit) {
    typed_ += digit;
    for (int attempt = 0; attempt < 2; ++attempt) {
        size_t number = 0;
        for (const char c : typed_) number = number * 10 + static_cast<size_t>(c - '0');
        if (typed_.size() <= 9 && number >= 1 && number <= count_) {
            position_ = number - 1;
            return;
        }
        typed_ = std::string(1, digit);
    }
    typed_.clear();
}

}  // namespace vdirkit
