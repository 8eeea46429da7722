#pragma once
// "spell": checks the whole text of the dialog, marks the misspelt words as links and starts
// the dialog at the first problem after the change position.
//
// Reads: "text", ":prse_opt:", ":chng_pos:" (the position the dialog continues after; absent:
// the start), the engine arguments (CommonSpell_CH), InternalData FilteringParams (key 30).
// Calls "check_spelling4" with 7 arguments.
// Writes: "problemid" (decimal problem index), "view" (the text with every misspelt word a
// link, the current one with class cerr), "text" (the text as loaded, with one trailing
// blank), "loaddlg" (the dialog start script; the finish call when the index is outside the
// problems).
// Throws: the critical CommandHandler exception when the engine fails; Error::ErrorMessage
// "The default language is not configured correctly." without FilteringParams; otherwise
// CommandHandler::exception "SpellCommandHandler::apply() - internal error.".
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class Spell_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
