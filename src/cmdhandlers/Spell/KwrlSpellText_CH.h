#pragma once
// "kwirl_spelltext": "text" given back with every misspelt word in a check-as-you-type span.
//
// Reads: "text", "format", ":prse_opt:", ":chng_pos:", the engine arguments (CommonSpell_CH);
// InternalData FilteringParams (30). Calls "check_spelling4" (7 arguments).
// Writes: "problemid", "view" ("{text:'...'}" when "format" is "json", else
// "<text><![CDATA[...]]></text>").
// Throws: CommandHandler::exception "Invalid callback name." for a callback that is not a
// valid name (kernel/CallbackCheck.h); the critical CommandHandler exception when the engine fails;
// Error::ErrorMessage "The default language is not configured correctly." without FilteringParams;
// otherwise CommandHandler::exception "KwrlSpellText_CH::apply() - internal error.".
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class KwrlSpellText_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
