#pragma once
// The text a JSON API check reads: either a plain `text`, or the annotated form of the `data`
// parameter, {"annotation": [{"text": "..."}, {"markup": "<b>", "interpretAs": "..."}, ...]},
// whose text parts are checked together with each markup's "interpretAs" (empty when absent)
// while the markup itself is skipped.
//
// Offsets are UTF-16 code units. Matches are found in plain() and reported in the original
// text (all parts in order, markup included), through Original(): a range inside text parts
// maps one to one; a range touching an interpretAs covers that markup whole.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class AnnotatedText {
  public:
    // Deeper nesting than this in `data` is refused before it is parsed.
    static constexpr int kMaxDepth = 16;

    static AnnotatedText FromText(std::string text);
    // Throws ApiFailure (400) with a message telling what is wrong with `data`.
    static AnnotatedText FromData(std::string_view data);

    // The UTF-8 text to check.
    const std::string& plain() const { return plain_; }
    // The original range [offset, offset + length) of the plain range.
    std::pair<size_t, size_t> Original(size_t offset, size_t length) const;

  private:
    struct Part {
        size_t plainStart;  // UTF-16 units
        size_t plainLength;
        size_t originalStart;
        size_t originalLength;
        bool markup;
    };
    void Add(const std::string& checked, size_t originalLength, bool markup);
    size_t MapStart(size_t offset) const;
    size_t MapEnd(size_t offset) const;

    std::string plain_;
    size_t plainUnits_ = 0;
    size_t originalUnits_ = 0;
    std::vector<Part> parts_;
};
