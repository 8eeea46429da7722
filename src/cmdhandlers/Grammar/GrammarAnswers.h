#pragma once
// Reading the answer of "check_grammar" into what the dialog shows. Answers come from outside:
// any bytes are accepted and nothing here throws.
#include <string>
#include <string_view>
#include <vector>

#include "cmdhandlers/Spell/MisspellingScan.h"

struct GrammarRange {
    MisspeltRange range;
    int problemNumber = 0;
    bool operator==(const GrammarRange&) const = default;
};

// Pairs the n-th item of `ranges` ("position,length;" items, separators may repeat) with the
// n-th entry of `numbers` ("," separated problem numbers; a missing or malformed one reads 0).
// Overlapping ranges are all kept; an item that is not two decimal numbers, has no positive
// length or does not end before the final blank of a check stream of `checkLength` units is
// left out together with its number.
std::vector<GrammarRange> GrammarRanges(std::string_view ranges, std::string_view numbers,
                                        int checkLength);

// The correction choices of one problem: the engine's explanation (HTML), then, when `variants`
// (" -OR- " separated) is not empty, a table with one radio button per variant (the first
// checked) and the script that puts the first variant into the form's "new_word" field. Each
// variant is escaped for the place it lands in (attribute, cell text, script string).
std::string SuggramOutput(std::string_view explanation, std::string_view variants);
