#pragma once
// Finds the domain names ("example.com"), e-mail addresses and URLs ("http://...", "www....")
// of a text, so that the spelling options can leave their words alone. Heuristic: a run of
// non-blank characters, without surrounding brackets, quotes and final punctuation, is a link
// when it holds "://", starts with "www.", is name@domain, or is dot-separated labels ending
// in a lower-case top-level label of 2 to 6 letters. Pure function, thread-safe.
#include <string>
#include <utility>
#include <vector>

class LinkFinder {
  public:
    // [begin, end) ranges in UTF-16 code units, in text order.
    static std::vector<std::pair<size_t, size_t>> Find(const std::u16string& text);

  private:
    static bool IsLink(std::u16string_view chunk);
    static bool IsDomain(std::u16string_view chunk);
};
