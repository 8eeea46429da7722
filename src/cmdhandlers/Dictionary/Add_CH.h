#pragma once
// "sp_add": adds the dialog's current word to the user's dictionary, then checks the text again
// ("spell") from after the word.
//
// Reads: "text", ":prse_opt:", "pos", "len", "ud", "udn", the engine address with the spelling
// redirect for InternalData SpellLang (1), FilteringParams (30).
// Writes: ":chng_pos:" = pos + len, ":word_org:" (the word); with a named dictionary ("udn" not
// empty or "[/]") the engine adds the word and the cookie words ("update_user_dictionary") and
// "ud" becomes empty, else the word is appended to "ud"; then "cmd" = "spell" and what that
// command writes.
// Throws: critical "The Verbarium Service is currently unavailable." when the engine cannot be
// reached or refuses the word; "The default language is not configured correctly." for a
// missing typed value; otherwise "AddCommandHandler::apply() - internal error."; what "spell"
// throws passes on.
#include "kernel/CommandHandler.h"

class Add_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
