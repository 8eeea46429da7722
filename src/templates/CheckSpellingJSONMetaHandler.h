#pragma once
// "check_spelling_json": the misspellings as a script array of objects (word or position and
// length, then the suggestions); words and suggestions escaped as double-quoted string content.
#include "templates/CheckSpellingBaseMetaHandler.h"

class CheckSpellingJSONMetaHandler : public CheckSpellingBaseMetaHandler {
  public:
    explicit CheckSpellingJSONMetaHandler(InternalData& data)
        : CheckSpellingBaseMetaHandler(data) {}

    std::string renderWords(const CheckSpellingSuggestions& words) override;
    std::string renderPositions(const CheckSpellingSuggestions& words,
                                const CheckSpellingPositions& positions) override;
};
