#include "api/MatchSelection.h"

#include <algorithm>
#include <charconv>

MatchSelection MatchSelection::Parse(std::string_view text) {
    MatchSelection out;
    const size_t semicolon = text.find(';');
    if (semicolon != 1 || (text[0] != '0' && text[0] != '1')) return out;
    std::string_view grammar = text.substr(2);
    const size_t colon = grammar.find(':');
    const std::string_view mode = grammar.substr(0, colon);
    if (colon == std::string_view::npos || (mode != "only" && mode != "except")) return out;
    out.spelling_ = text[0] == '1';
    out.only_ = mode == "only";
    for (std::string_view numbers = grammar.substr(colon + 1); !numbers.empty();) {
        const size_t comma = std::min(numbers.find(','), numbers.size());
        int rule = 0;
        const std::string_view entry = numbers.substr(0, comma);
        const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), rule);
        if (error == std::errc() && end == entry.data() + entry.size()) out.rules_.insert(rule);
        numbers.remove_prefix(std::min(comma + 1, numbers.size()));
    }
    return out;
}

bool MatchSelection::AnyGrammar(const std::vector<int>& rules) const {
    return std::any_of(rules.begin(), rules.end(), [this](int rule) { return Grammar(rule); });
}
