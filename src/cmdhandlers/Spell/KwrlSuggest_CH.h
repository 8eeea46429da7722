#pragma once
// "kwirl_suggest": suggestions for each comma-separated word of "text".
//
// Reads: "text", "format", "sug_len" (at most 15 suggestions per word), ":prse_opt:", the
// engine arguments (CommonSpell_CH); InternalData FilteringParams (30). Calls
// "check_and_suggestions" (6 arguments, the prepared text).
// Writes: "view" (see SuggestAnswer in TypingAnswers.h). A word the answer does not list as
// incorrect counts as correct.
// Throws: CommandHandler::exception "Invalid callback name." for a callback that is not a
// valid name (kernel/CallbackCheck.h); the critical CommandHandler exception when the engine fails;
// Error::ErrorMessage "The default language is not configured correctly." without FilteringParams;
// otherwise CommandHandler::exception "SpellsuggestallCommandHandler::apply() - internal error.".
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class KwrlSuggest_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
