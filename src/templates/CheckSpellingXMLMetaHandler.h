#pragma once
// "check_spelling_xml": the misspellings as <misspelling> elements (word or position and length,
// then the suggestions); words and suggestions escaped as XML text.
#include "templates/CheckSpellingBaseMetaHandler.h"

class CheckSpellingXMLMetaHandler : public CheckSpellingBaseMetaHandler {
  public:
    explicit CheckSpellingXMLMetaHandler(InternalData& data) : CheckSpellingBaseMetaHandler(data) {}

    std::string renderWords(const CheckSpellingSuggestions& words) override;
    std::string renderPositions(const CheckSpellingSuggestions& words,
                                const CheckSpellingPositions& positions) override;
};
