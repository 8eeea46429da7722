#pragma once
// Base of the resolvers of "check_spelling_xml" and "check_spelling_json": reads the results
// (InternalData keys 24 and 25, see templates/CheckSpellingResults.h) and renders one entry per
// occurrence when "out_type" is exactly "positions", else one entry per distinct word.
// Throws InternalData::ValueNotFound / TypeMismatch when a result key is absent or mistyped.
// Words and suggestions are escaped for the output format (they may hold '"', '&', '<').
#include "templates/CheckSpellingResults.h"
#include "templates/InternalDataMetaHandler.h"

class CheckSpellingBaseMetaHandler : public InternalDataMetaHandler {
  public:
    std::string render(const Arguments& args, StringMap& map) override;
    virtual std::string dispatch(StringMap& map);
    virtual std::string renderWords(const CheckSpellingSuggestions& words) = 0;
    virtual std::string renderPositions(const CheckSpellingSuggestions& words,
                                        const CheckSpellingPositions& positions) = 0;

  protected:
    using InternalDataMetaHandler::InternalDataMetaHandler;
    // The suggestions of `word`, empty when the map has none.
    static const std::vector<std::string>& SuggestionsOf(const CheckSpellingSuggestions& words,
                                                         const std::string& word);
};
