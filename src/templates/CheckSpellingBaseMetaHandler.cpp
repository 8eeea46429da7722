#include "templates/CheckSpellingBaseMetaHandler.h"

#include "utils/InternalDataKeys.h"

std::string CheckSpellingBaseMetaHandler::render(const Arguments& /*args*/, StringMap& map) {
    return dispatch(map);
}

std::string CheckSpellingBaseMetaHandler::dispatch(StringMap& map) {
    const auto& words = data().Get<CheckSpellingSuggestions>(idkey::CheckSpellingSuggestions);
    const auto& positions = data().Get<CheckSpellingPositions>(idkey::CheckSpellingPositions);
    if (map["out_type"] == "positions") return renderPositions(words, positions);
    return renderWords(words);
}

const std::vector<std::string>& CheckSpellingBaseMetaHandler::SuggestionsOf(
    const CheckSpellingSuggestions& words, const std::string& word) {
    static const std::vector<std::string> kNone;
    const auto it = words.find(word);
    return it == words.end() ? kNone : it->second;
}
