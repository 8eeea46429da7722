#pragma once
// Splits a text into words with ICU's word break rules: apostrophes inside a word belong to it
// ("don't"), hyphens and blanks separate. A word is a segment with at least one letter; the
// full stops and colons that ICU keeps inside a segment ("end.Next") separate words too.
// Words that fall inside a domain name, e-mail address or URL are flagged (inLink).
//
// Two forms with the same words: Words(UTF-16) breaks the whole text with ICU; Words(UTF-8), the
// spelling path, breaks its ASCII stretches with AsciiWordBreaker (ICU's segments without ICU's
// cost) and only the rest with ICU, and hands out views into the text instead of copies.
// Thread-safe (each thread keeps its own break iterator).
#include <string>
#include <string_view>
#include <vector>

#include "spell/TextWord.h"
#include "spell/WordRef.h"

class WordTokenizer {
  public:
    enum class Links { kMark, kIgnore };  // whether to set inLink, which costs a pass

    // Throws EngineError("Text is not valid UTF-8") on malformed input.
    static std::u16string ToUtf16(std::string_view utf8);
    static std::string ToUtf8(std::u16string_view utf16);

    static std::vector<TextWord> Words(const std::u16string& text);
    // Throws EngineError("Text is not valid UTF-8") on malformed input. The words view into
    // `utf8`.
    static std::vector<WordRef> Words(std::string_view utf8, Links links);
};
