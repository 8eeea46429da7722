#pragma once
// "spellsuggestall": the suggestions for every misspelt word of a text, as hidden form fields
// named "s_" + the word's identifier form (see SuggestAllFields).
//
// Reads: "text", ":prse_opt:", the engine arguments (CommonSpell_CH), InternalData
// FilteringParams (key 30). Calls "get_all_suggestions4" with 6 arguments.
// Writes: "spellsuggestall" (the fields; empty when no word is misspelt).
// Throws: the critical CommandHandler exception when the engine fails; Error::ErrorMessage
// "The default language is not configured correctly." without FilteringParams; otherwise
// CommandHandler::exception "SpellsuggestallCommandHandler::apply() - internal error.".
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class SpellAll_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
