#pragma once
// "suggest": the suggestion list for one word of the dialog.
//
// Reads: "word" (sent to the engine as it is), the engine arguments (CommonSpell_CH). Calls
// "get_suggestions4" with 6 arguments.
// Writes: ":word_org:" (a copy of "word"), "suggestlist" (the suggestions separated by ",";
// empty when there are none).
// Throws: the critical CommandHandler exception when the engine fails; otherwise
// CommandHandler::exception "SuggestCommandHandler::apply() - internal error.".
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class Suggest_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
