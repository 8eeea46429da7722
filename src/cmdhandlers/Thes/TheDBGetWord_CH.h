#pragma once
// Looks up one word in the thesaurus ("getthes": synonyms, "getants": antonyms) for the dialog.
//
// Reads: "word", the server settings (GrammarServer), InternalData SpellLang (1). Calls
// Function() with the word.
// Writes: ":word_org:" = "word"; "synlist" = ThesaurusFields(answer).
// Throws: critical "The Verbarium Service is currently unavailable." for a "grammar_host"
// without ':', a client that cannot be initialised or a failed call; "The default language is
// not configured correctly." for a missing typed value; otherwise
// "SynonymCommandHandler::apply() - internal error.".
#include "kernel/CommandHandler.h"

class TheDBGetWord_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;

  protected:
    // The engine function that answers the word's categories.
    virtual const char* Function() const = 0;
};
