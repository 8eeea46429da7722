#pragma once
// Marks the words of the dialog's text that have thesaurus entries ("thes": synonyms, "ants":
// antonyms) and starts the dialog at the first one after the change position.
//
// Reads: "text", ":prse_opt:", ":chng_pos:", "thes_host" (host ":" port; empty: the configured
// engine server), InternalData FilteringParams (30). Calls Function() with the check text.
// Writes: "problemid", "view" (links to DialogCommand()), "text", "loaddlg", as "spell" does,
// with the same scan of the answer's ranges (overlapping ones dropped).
// Throws: critical "The Verbarium Service is currently unavailable." for a "thes_host" without
// ':' or a client that cannot be initialised; critical "Thesaurus - failed." when the call
// fails; "The default language is not configured correctly." for a missing typed value;
// otherwise "ThesCommandHandler::apply() - internal error.".
#include "kernel/CommandHandler.h"

class TheDBCheckWord_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;

  protected:
    // The engine function that lists the words' ranges.
    virtual const char* Function() const = 0;
    // The command the marked words' links call.
    virtual const char* DialogCommand() const = 0;
};
