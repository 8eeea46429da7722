#pragma once
// The word segments of an ASCII text, exactly where ICU's root word break rules put them, without
// ICU: a word segment is a run of letters ('@' counts as one), digits and '_', where a '.' or
// an apostrophe between two letters or two digits, and a ',' or ';' between two digits, belong
// to it ("don't", "e.g", "3.14", "1,000"); a lone '_' is no word segment. Every other character
// (':' too) separates. Segments without a letter ("1,000") are reported like the others.
#include <cstddef>
#include <string_view>

class AsciiWordBreaker {
  public:
    // `asciiText` holds bytes below 0x80 only and must outlive the breaker.
    explicit AsciiWordBreaker(std::string_view asciiText) : text_(asciiText) {}

    // The next word segment as [begin, end) byte offsets; false after the last one.
    bool Next(size_t& begin, size_t& end);

  private:
    size_t SegmentEnd(size_t begin) const;

    std::string_view text_;
    size_t at_ = 0;
};
