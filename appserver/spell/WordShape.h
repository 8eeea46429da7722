#pragma once
// Letter case and digits of one word (UTF-16 or UTF-8), for the spelling options and for matching
// the words a user accepted, found in one pass over the word. Pure functions, thread-safe.
#include <unicode/umachine.h>

#include <string>
#include <string_view>

class WordShape {
  public:
    WordShape() = default;  // no letters, no digits
    explicit WordShape(std::u16string_view word);
    // Malformed sequences count as neither letters nor digits.
    explicit WordShape(std::string_view utf8);

    bool allCapitals() const { return upper_ > 0 && lower_ == 0; }
    bool hasDigit() const { return digits_ > 0; }
    // Upper-case letters after the first letter, next to lower-case ones ("iPhone", "McDonald").
    bool mixedCase() const { return lower_ > 0 && upper_ > (firstUpper_ ? 1 : 0); }
    bool titleCase() const { return firstUpper_ && upper_ == 1 && lower_ > 0; }

    static std::string Lower(std::string_view utf8);
    static std::string LowerFirst(std::string_view utf8);

  private:
    void Add(UChar32 c);

    size_t upper_ = 0;
    size_t lower_ = 0;
    size_t digits_ = 0;
    bool firstUpper_ = false;
    bool seenLetter_ = false;
};
