#pragma once
// The word the dialog acts on: the range "pos"/"len" of the request (UTF-16 units of the check
// stream) in the loaded text.
#include <string>

#include "text/TextProcessor.h"
#include "utils/StringMap.h"

struct DialogWord {
    int position = 0;
    int length = 0;
    std::string text;  // UTF-8

    // Reads "pos" and "len", takes the word from `processor` (whose text is loaded) and writes
    // it to ":word_org:". Throws std::invalid_argument when "pos" or "len" is not a decimal
    // number, EIncorrectPosition when the range is not in the check stream.
    static DialogWord Take(StringMap& map, const TextProcessor& processor);

    // The decimal position after the word (":chng_pos:").
    std::string End() const { return std::to_string(static_cast<long long>(position) + length); }
};

// The "cmd" value in lower case, as the dispatcher compares it.
std::string LowerCommand(StringMap& map);
