#pragma once
// Reading the engine's "get_all_suggestions4" answer for the web-service API and finding the
// misspelt words in the checked text. Any bytes are accepted; nothing here throws.
#include <string_view>
#include <vector>

#include "templates/CheckSpellingResults.h"

struct CheckSpellingResults {
    CheckSpellingSuggestions words;    // misspelt word -> suggestions
    CheckSpellingPositions positions;  // every whole-word occurrence in the text, in answer order
};

// Lines "word:s1,s2" separated by runs of CR and LF; the suggestions split at every "," (an
// empty part gives one empty suggestion, "no_any_suggestions" none). A line without ":" is a
// word without suggestions; an empty word is left out. The occurrences are looked for only
// when `findPositions` (an answer by words needs none).
CheckSpellingResults ReadAllSuggestions(std::string_view answer, std::string_view text,
                                        bool findPositions);

// The byte offsets of `word` in `text` where it stands as a whole word: no letter, digit or
// apostrophe (ASCII or typographic) right before or after it. Text is read as UTF-8: a
// non-ASCII character counts as a letter unless it is a blank or punctuation of Latin-1, the
// general punctuation block or the CJK symbols block. Occurrences do not overlap.
std::vector<int> WholeWordOffsets(std::string_view text, std::string_view word);

// WholeWordOffsets of each of `words`, found in one pass over `text` (a word that is not valid
// UTF-8 or does not begin and end with a word character is looked for on its own).
std::vector<std::vector<int>> WholeWordOffsetsOfEach(std::string_view text,
                                                     const std::vector<std::string_view>& words);
