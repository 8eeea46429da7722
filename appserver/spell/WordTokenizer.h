#pragma once
// Splits a text into words with ICU's word break rules: apostrophes inside a word belong to it
// ("don't"), hyphens and blanks separate. A word is a segment with at least one letter; the
// full stops and colons that ICU keeps inside a segment ("end.Next", "a:b") separate words too.
// Words that fall inside a domain name, e-mail address or URL are flagged (TextWord::inLink).
// Thread-safe (each thread keeps its own break iterator).
#include <string>
#include <string_view>
#include <vector>

#include "spell/TextWord.h"

class WordTokenizer {
  public:
    // Throws EngineError("Text is not valid UTF-8") on malformed input.
    static std::u16string ToUtf16(std::string_view utf8);
    static std::string ToUtf8(std::u16string_view utf16);

    static std::vector<TextWord> Words(const std::u16string& text);

  private:
    static void AddSegment(const std::u16string& text, size_t begin, size_t end,
                           std::vector<TextWord>& words);
};
