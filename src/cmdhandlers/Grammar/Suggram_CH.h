#pragma once
// "suggram": the correction choices for the dialog's current grammar problem.
//
// Reads: "text", ":prse_opt:", "ignoregr", "igposgr", "problemid", the server settings
// (GrammarServer), InternalData FilteringParams (30) and SpellLang (1). Calls "check_grammar"
// (ignoregr, igposgr, check text, problemid).
// Writes: "suggestlist" = SuggramOutput(explanation, variants).
// Throws: critical "The Verbarium Service is currently unavailable." for a "grammar_host"
// without ':', a client that cannot be initialised or a failed call; "The default language is
// not configured correctly." for a missing typed value; otherwise
// "SuggramCommandHandler::apply() - internal error.".
#include "kernel/CommandHandler.h"

class Suggram_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
