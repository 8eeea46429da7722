#pragma once
// "sc": "spellcheck" for protocol version 2.1, with a properties block that tells the client
// its dictionary name, custom dictionaries, banner parameters and interface tags.
//
// Reads: "v" (must be "2.1"), "c" / "callback" (empty: "kwirl.call"), "words", "init",
// "product", "<product prefix>_params" (INI only, InternalData IniKeys 19), "bnr", "udn",
// "c_udn", "cust_dic_ids", "c_cust_dic_ids", "uiTags", "langs_ver", "verlang", ":prse_opt:",
// the engine arguments; InternalData FilteringParams (30). Calls "check_and_suggestions" as
// "spellcheck" does.
// Writes: "callback" (parenthesis-safe), "view", "format" = "json"; "slang" after a fall-back.
// Never throws: failures are answered as "{error: true, text: ...}" (see TypingCheck_CH).
#include "cmdhandlers/Spell/TypingCheck_CH.h"

class SC_CH : public TypingCheck_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
