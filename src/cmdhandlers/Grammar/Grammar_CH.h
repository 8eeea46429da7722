#pragma once
// "grammar": checks the grammar of the dialog's text, marks the problems as links and starts the
// dialog at the first problem after the change position.
//
// Reads: "text", ":prse_opt:", ":chng_pos:", "ignoregr" (ignored problem numbers), "igposgr"
// (ignored positions), the server settings (GrammarServer), InternalData FilteringParams (30)
// and SpellLang (1). Calls "check_grammar" (ignoregr, igposgr, check text, "-1").
// Writes: "problemid", "view" (links to "suggram"), "text", "loaddlg", as "spell" does. Every
// range the engine reports is a problem, overlapping ones included, up to ":max_problems:"
// (MaxProblems_SS; the log says when the rest of the text is left unmarked).
// Throws: critical "The Verbarium Service is currently unavailable." for a "grammar_host"
// without ':' or a client that cannot be initialised; critical "Check grammar - failed." when
// the call fails; "The default language is not configured correctly." for a missing typed
// value; otherwise "GrammarCommandHandler::apply() - internal error.".
#include "kernel/CommandHandler.h"

class Grammar_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
