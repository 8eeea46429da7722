#include "cmdhandlers/Grammar/TypingGrammarAnswer.h"

#include <nlohmann/json.hpp>

#include "text/Utf16Conversion.h"

namespace {

using nlohmann::json;

constexpr char kRulePrefix[] = "GRAMMAR_RULE_";

// The string value of `key`, cut to kMaxMessageBytes; empty when it is not a string.
std::string Text(const json& match, const char* key) {
    const auto it = match.find(key);
    if (it == match.end() || !it->is_string()) return {};
    std::string value = it->get<std::string>();
    if (value.size() > TypingGrammarAnswer::kMaxMessageBytes)
        value.resize(TypingGrammarAnswer::kMaxMessageBytes);
    return value;
}

json Replacements(const json& match) {
    json out = json::array();
    const auto it = match.find("replacements");
    if (it == match.end() || !it->is_array()) return out;
    for (const json& value : *it) {
        if (out.size() == TypingGrammarAnswer::kMaxReplacements) break;
        if (value.is_string()) out.push_back(value);
    }
    return out;
}

// The match in the answer's shape, or null when it is no grammar match inside the text.
json Match(const json& found, size_t textUnits) {
    if (!found.is_object()) return nullptr;
    const auto offset = found.find("offset");
    const auto length = found.find("length");
    const auto rule = found.find("rule");
    if (offset == found.end() || length == found.end() || rule == found.end() ||
        !offset->is_number_unsigned() || !length->is_number_unsigned() ||
        !rule->is_number_integer())
        return nullptr;
    const auto start = offset->get<unsigned long long>();
    const int number = rule->get<int>();
    if (number <= 0 || start >= textUnits) return nullptr;
    const size_t units =
        std::min<unsigned long long>(length->get<unsigned long long>(), textUnits - start);
    if (units == 0) return nullptr;
    return {{"offset", start},
            {"length", units},
            {"rule", kRulePrefix + std::to_string(number)},
            {"message", Text(found, "message")},
            {"shortMessage", Text(found, "shortMessage")},
            {"replacements", Replacements(found)}};
}

}  // namespace

std::optional<std::string> TypingGrammarAnswer::Build(std::string_view engine,
                                                      std::string_view text) {
    const json answer = json::parse(engine, nullptr, false);
    if (!answer.is_object() || !answer.contains("matches") || !answer["matches"].is_array())
        return std::nullopt;
    const size_t textUnits = Utf8ToUtf16(text).size();
    json matches = json::array();
    for (const json& found : answer["matches"]) {
        if (matches.size() == kMaxMatches) break;
        if (json match = Match(found, textUnits); !match.is_null())
            matches.push_back(std::move(match));
    }
    return json{{"matches", std::move(matches)}}.dump(-1, ' ', true,
                                                      json::error_handler_t::replace);
}
