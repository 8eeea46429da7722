#pragma once
// Finds the domain names ("example.com"), e-mail addresses and URLs ("http://...", "www....")
// of a text, so that the spelling options can leave their words alone. Heuristic: a run of
// non-blank characters, without surrounding brackets, quotes and final punctuation, is a link
// when it holds "://", starts with "www.", is name@domain, or is dot-separated labels ending
// in a lower-case top-level label of 2 to 6 letters. Pure functions, thread-safe.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class LinkFinder {
  public:
    using Range = std::pair<size_t, size_t>;

    // [begin, end) ranges in UTF-16 code units, in text order.
    static std::vector<Range> Find(const std::u16string& text);
    // The same ranges as [begin, end) byte offsets of a text that is valid UTF-8.
    static std::vector<Range> FindInValidUtf8(std::string_view text);
};
