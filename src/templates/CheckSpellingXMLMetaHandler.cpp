#include "templates/CheckSpellingXMLMetaHandler.h"

#include "utils/TextEscapes.h"

namespace {

std::string SuggestionsElement(const std::vector<std::string>& suggestions) {
    std::string out = "<suggestions>";
    for (const auto& suggestion : suggestions)
        out += "<suggestion>" + XmlTextEscape(suggestion) + "</suggestion>";
    return out + "</suggestions>";
}

}  // namespace

std::string CheckSpellingXMLMetaHandler::renderWords(const CheckSpellingSuggestions& words) {
    std::string out;
    for (const auto& [word, suggestions] : words)
        out += "<misspelling><word>" + XmlTextEscape(word) + "</word>" +
               SuggestionsElement(suggestions) + "</misspelling>";
    return out;
}

std::string CheckSpellingXMLMetaHandler::renderPositions(const CheckSpellingSuggestions& words,
                                                         const CheckSpellingPositions& positions) {
    std::string out;
    for (const auto& [word, span] : positions)
        out += "<misspelling><position>" + std::to_string(span.first) + "</position><length>" +
               std::to_string(span.second) + "</length>" +
               SuggestionsElement(SuggestionsOf(words, word)) + "</misspelling>";
    return out;
}
