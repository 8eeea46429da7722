#pragma once
// "check_spelling": the web-service API's spell check of "text".
//
// Reads: "version" (must be "1.0"), "callback" (when given, a valid JSONP name), "text", the
// engine arguments (CommonSpell_CH; the web-service options arrive packed in "osp").
// Calls "get_all_suggestions4" (6 arguments, text = "text" unchanged).
// Writes: "check_spelling_xml", "check_spelling_json" (the names of the two placeholders that
// render the results); InternalData CheckSpellingSuggestions (24) and CheckSpellingPositions (25,
// the whole-word byte offsets in "text").
// Throws: CommandHandler::exception "Unsupported API version.", "Invalid callback name." or,
// without "slang", one that names the missing language; the critical CommandHandler exception when
// the engine fails; otherwise CommandHandler::exception "SpellCommandHandler::apply() - internal
// error.".
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class CheckSpelling_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
