#pragma once
// "check": answers whether a text is entirely correct.
//
// Reads: "trg_url", "HTTP_HOST", "redirect_allow_origins" (RedirectTarget.h), "text", ":prse_opt:",
// the engine arguments (CommonSpell_CH), InternalData FilteringParams (key 30). Calls
// "check_is_correct4" with 6 arguments. Writes: "check" = "1" when the engine answers exactly
// "correct", else "0"; "-1" when the command fails (set before the failure is passed on). Throws:
// CommandHandler::exception "The redirect target is not allowed." (before any engine call) when
// "trg_url" is neither relative nor of an allowed origin; the critical CommandHandler exception
// when the engine fails; Error::ErrorMessage "The default language is not configured correctly."
// without FilteringParams; otherwise CommandHandler::exception "CheckCommandHandler::apply() -
// internal error.".
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class Check_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
