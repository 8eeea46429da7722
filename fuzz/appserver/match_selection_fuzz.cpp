// The selection of check_selected_matches on arbitrary bytes: never a crash, and only a text of
// the documented form leaves anything out (anything else selects everything, so that a client's
// mistake costs time, never a match).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "api/MatchSelection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const MatchSelection selection = MatchSelection::Parse(text);
    const bool wellFormed =
        text.size() >= 2 && (text[0] == '0' || text[0] == '1') && text[1] == ';' &&
        (text.substr(2).starts_with("only:") || text.substr(2).starts_with("except:"));
    if (!wellFormed && (!selection.spelling() || !selection.Grammar(1) || !selection.Grammar(-7)))
        std::abort();
    if (!selection.spelling() && !text.starts_with("0;")) std::abort();
    for (int rule : {0, 1, 2, 99})
        if (selection.AnyGrammar({rule}) != selection.Grammar(rule)) std::abort();
    return 0;
}
