#pragma once
// "spellcheck": the misspelt words of "words" with their suggestions, and the correct words, as
// a script-transport (JSONP) answer for the check-as-you-type client.
//
// Reads: "c" / "callback" (must name a script-transport callback "...dojoIoScript<n>.<...>"),
// "words", "bnr", "langs_ver", "verlang", ":prse_opt:", the engine arguments (CommonSpell_CH);
// InternalData FilteringParams (30). Calls "check_and_suggestions" (6 arguments, text = "words"
// as received), once more in en_US when the first call fails.
// Writes: "callback", "view", "format" = "json"; "slang" = "en_US" after a fall-back.
// Never throws: failures are answered as "{error: true, text: ...}" (see TypingCheck_CH).
#include "cmdhandlers/Spell/TypingCheck_CH.h"

class SpellCheck_CH : public TypingCheck_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
