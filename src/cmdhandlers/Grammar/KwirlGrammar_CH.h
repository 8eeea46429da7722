#pragma once
// "kwirl_grammar": the grammar problems of "text" in "slang" for the check-as-you-type client,
// as a script answer (JSONP) like the other typing commands, so that it reaches the service
// through a relay and from pages on any site.
//
// Reads: "text" (at most kMaxTextBytes; the caller's text before no-break spaces were
// replaced, InternalData TextAsSent, when there is one), "slang", "c" / "callback", the engine
// server settings of the spelling commands (SpellServer). Calls "check_selected_matches"
// (slang, "", text, "", "", "0;except:"): grammar only, misspellings are "sc"'s.
// Writes: "callback" (the valid callback, else "kwirl.call"), "format" = "json", "view" (see
// TypingGrammarAnswer). An empty text is answered without asking the engine.
// Never throws: failures are answered as ErrorView does (see TypingCheck_CH): an
// invalid callback, a text over the limit ("Text too long."), the engine out of reach or
// refusing the call ("The Verbarium Service is currently unavailable.", logged "Check grammar -
// failed."), an engine answer that is not a match list ("Check grammar - failed.").
#include "cmdhandlers/Spell/TypingCheck_CH.h"

class KwirlGrammar_CH : public TypingCheck_CH {
  public:
    static constexpr size_t kMaxTextBytes = 32 * 1024;
    void apply(StringMap& map, InternalData& data) override;
};
