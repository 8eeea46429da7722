#pragma once
// "kwirl_spell": the misspelt words of "text" with suggestions for the first two of them.
//
// Reads: "text", "format", "sug_len", ":prse_opt:", ":chng_pos:", the engine arguments
// (CommonSpell_CH); InternalData FilteringParams (30). Calls "check_spelling4" (7 arguments) and
// "get_all_suggestions4" (6 arguments, text = the first two misspelt words, each followed by
// ",").
// Writes: "problemid", "view" ("{words:[...]}" when "format" is "json", else "<words>...</words>").
// Throws: CommandHandler::exception "Invalid callback name." for a callback that is not a
// valid name (kernel/CallbackCheck.h); the critical CommandHandler exception when the engine fails;
// Error::ErrorMessage "The default language is not configured correctly." without FilteringParams;
// otherwise CommandHandler::exception "KwrlSpell_CH::apply() - internal error.".
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class KwrlSpell_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
