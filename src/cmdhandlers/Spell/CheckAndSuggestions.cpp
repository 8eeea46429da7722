#include "cmdhandlers/Spell/CheckAndSuggestions.h"

#include <algorithm>

#include "cmdhandlers/Spell/SuggestionAnswers.h"

namespace {

// The pieces of `text` between the separators in `separators` (empty pieces dropped).
std::vector<std::string_view> Pieces(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> pieces;
    size_t at = 0;
    while (at < text.size()) {
        at = text.find_first_not_of(separators, at);
        if (at == std::string_view::npos) break;
        size_t end = text.find_first_of(separators, at);
        if (end == std::string_view::npos) end = text.size();
        pieces.push_back(text.substr(at, end - at));
        at = end;
    }
    return pieces;
}

std::vector<std::string> SuggestionsIn(std::string_view list) {
    std::vector<std::string> suggestions;
    if (list == kNoSuggestions) return suggestions;
    for (std::string_view piece : Pieces(list, "\n"))
        if (piece != kNoSuggestions) suggestions.emplace_back(piece);
    return suggestions;
}

// The incorrect part: an entry runs from after a run of ";" and LF to the next ";".
void ReadIncorrect(std::string_view part, CheckAndSuggestions& out) {
    size_t at = 0;
    while (at < part.size()) {
        at = part.find_first_not_of(";\n", at);
        if (at == std::string_view::npos) break;
        size_t end = part.find(';', at);
        if (end == std::string_view::npos) end = part.size();
        const std::string_view entry = part.substr(at, end - at);
        at = end;
        const size_t colon = entry.find(':');
        const std::string_view word = entry.substr(0, colon);
        if (word.empty()) continue;
        out.incorrect.emplace_back(std::string(word), colon == std::string_view::npos
                                                          ? std::vector<std::string>()
                                                          : SuggestionsIn(entry.substr(colon + 1)));
    }
}

}  // namespace

std::unordered_map<std::string_view, const std::vector<std::string>*> CheckAndSuggestions::Index()
    const {
    std::unordered_map<std::string_view, const std::vector<std::string>*> index;
    index.reserve(incorrect.size());
    for (const Entry& entry : incorrect) index.emplace(entry.first, &entry.second);
    return index;
}

CheckAndSuggestions ParseCheckAndSuggestions(std::string_view answer) {
    CheckAndSuggestions out;
    const size_t backslash = answer.find('\\');
    ReadIncorrect(answer.substr(0, backslash), out);
    if (backslash == std::string_view::npos) return out;
    // The correct part of a long text holds thousands of words: one allocation for the list,
    // each word straight from the answer.
    const std::string_view part = answer.substr(backslash + 1);
    out.correct.reserve(static_cast<size_t>(std::count(part.begin(), part.end(), ',')) + 1);
    for (size_t at = 0; at < part.size();) {
        size_t end = part.find(',', at);
        if (end == std::string_view::npos) end = part.size();
        if (end > at) out.correct.emplace_back(part.substr(at, end - at));
        at = end + 1;
    }
    return out;
}
