#include "templates/CheckSpellingJSONMetaHandler.h"

#include "utils/TextEscapes.h"

namespace {

std::string SuggestionsArray(const std::vector<std::string>& suggestions) {
    std::string out = "[";
    for (size_t i = 0; i < suggestions.size(); ++i) {
        if (i != 0) out += ", ";
        out += "\"" + JsonStringEscape(suggestions[i]) + "\"";
    }
    return out + "]";
}

}  // namespace

std::string CheckSpellingJSONMetaHandler::renderWords(const CheckSpellingSuggestions& words) {
    std::string out = "[";
    for (auto it = words.begin(); it != words.end(); ++it) {
        if (it != words.begin()) out += ", ";
        out += "{\"word\": \"" + JsonStringEscape(it->first) +
               "\", \"suggestions\": " + SuggestionsArray(it->second) + "}";
    }
    return out + "]";
}

std::string CheckSpellingJSONMetaHandler::renderPositions(const CheckSpellingSuggestions& words,
                                                          const CheckSpellingPositions& positions) {
    std::string out = "[";
    for (size_t i = 0; i < positions.size(); ++i) {
        const auto& [word, span] = positions[i];
        if (i != 0) out += ", ";
        out += "{\"position\": " + std::to_string(span.first) +
               ", \"length\": " + std::to_string(span.second) +
               ", \"suggestions\": " + SuggestionsArray(SuggestionsOf(words, word)) + "}";
    }
    return out + "]";
}
