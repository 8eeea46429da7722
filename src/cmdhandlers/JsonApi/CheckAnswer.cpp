#include "cmdhandlers/JsonApi/CheckAnswer.h"

#include <algorithm>

#include "cmdhandlers/JsonApi/ApiFailure.h"
#include "cmdhandlers/JsonApi/LanguageNames.h"
#include "text/Utf16Conversion.h"

namespace {

using nlohmann::json;

constexpr char kBuildDate[] = "2026-12-09 00:00:00 +0000";

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A start that does not split a surrogate pair.
size_t CharStart(const std::u16string& text, size_t at) {
    return at > 0 && at < text.size() && IsLowSurrogate(text[at]) ? at - 1 : at;
}

bool EndsSentence(const std::u16string& text, size_t at) {
    const char16_t c = text[at];
    if (c == u'\n') return true;
    return (c == u'.' || c == u'!' || c == u'?') && at + 1 < text.size() &&
           (text[at + 1] == u' ' || text[at + 1] == u'\n');
}

// The sentence around [offset, end): from after the previous sentence end to the next one,
// at most kMaxSentenceUnits away on each side.
std::u16string Sentence(const std::u16string& text, size_t offset, size_t end) {
    const size_t floor =
        offset > CheckAnswer::kMaxSentenceUnits ? offset - CheckAnswer::kMaxSentenceUnits : 0;
    size_t start = offset;
    while (start > floor && !EndsSentence(text, start - 1)) --start;
    const size_t ceiling = std::min(text.size(), end + CheckAnswer::kMaxSentenceUnits);
    size_t stop = end;
    while (stop < ceiling && !EndsSentence(text, stop)) ++stop;
    if (stop < ceiling) ++stop;
    std::u16string sentence =
        text.substr(CharStart(text, start), CharStart(text, stop) - CharStart(text, start));
    while (!sentence.empty() && (sentence.front() == u' ' || sentence.front() == u'\n'))
        sentence.erase(0, 1);
    while (!sentence.empty() && (sentence.back() == u' ' || sentence.back() == u'\n'))
        sentence.pop_back();
    return sentence;
}

json Context(const std::u16string& text, size_t offset, size_t length) {
    const size_t from = CharStart(
        text, offset > CheckAnswer::kContextUnits ? offset - CheckAnswer::kContextUnits : 0);
    const size_t to =
        CharStart(text, std::min(text.size(), offset + length + CheckAnswer::kContextUnits));
    return {{"text", Utf16ToUtf8(text.substr(from, to - from))},
            {"offset", offset - from},
            {"length", length}};
}

json Replacements(const json& values) {
    json out = json::array();
    for (const json& value : values)
        if (value.is_string()) out.push_back({{"value", value}});
    return out;
}

json Rule(const std::string& id, const std::string& description, bool spelling) {
    return {{"id", id},
            {"description", description},
            {"issueType", spelling ? "misspelling" : "grammar"},
            {"category", spelling ? json{{"id", "TYPOS"}, {"name", "Possible Typo"}}
                                  : json{{"id", "GRAMMAR"}, {"name", "Grammar"}}}};
}

std::string WithoutFullStop(std::string text) {
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

json Language(const std::string& engineCode, double confidence) {
    return {{"name", LanguageNames::Name(engineCode)},
            {"code", LanguageNames::ApiCode(engineCode)},
            {"detectedLanguage",
             {{"name", LanguageNames::Name(engineCode)},
              {"code", LanguageNames::ApiCode(engineCode)},
              {"confidence", confidence}}}};
}

}  // namespace

json CheckAnswer::Match(const Request& request, const std::u16string& plain, const json& found) {
    const size_t offset = std::min<size_t>(found.at("offset").get<size_t>(), plain.size());
    const size_t length = std::min<size_t>(found.at("length").get<size_t>(), plain.size() - offset);
    const int number = found.at("rule").get<int>();
    const bool spelling = number == 0;
    const std::string id = spelling ? kSpellingRule : kGrammarRulePrefix + std::to_string(number);
    const std::string category = spelling ? "TYPOS" : "GRAMMAR";
    if (!request.rules.Allows(id, category)) return nullptr;
    const std::string shortMessage =
        spelling ? "Spelling mistake" : WithoutFullStop(found.value("shortMessage", ""));
    const auto [originalOffset, originalLength] = request.text.Original(offset, length);
    return {{"message",
             spelling ? "Possible spelling mistake found." : found.value("message", std::string())},
            {"shortMessage", shortMessage},
            {"replacements", Replacements(found.value("replacements", json::array()))},
            {"offset", originalOffset},
            {"length", originalLength},
            {"context", Context(plain, offset, length)},
            {"sentence", Utf16ToUtf8(Sentence(plain, offset, offset + length))},
            {"type", {{"typeName", spelling ? "UnknownWord" : "Other"}}},
            {"rule", Rule(id, spelling ? "Possible spelling mistake" : shortMessage, spelling)},
            {"ignoreForIncompleteSentence", false},
            {"contextForSureMatch", 0}};
}

json CheckAnswer::Build(const Request& request, const std::string& engineResult) {
    const json engine = json::parse(engineResult, nullptr, false);
    if (!engine.is_object() || !engine.contains("matches") || !engine["matches"].is_array())
        throw ApiFailure(ApiFailure::kUnavailable, "The engine server's answer is not readable.");
    const std::u16string plain = Utf8ToUtf16(request.text.plain());
    json matches = json::array();
    try {
        for (const json& found : engine["matches"])
            if (json match = Match(request, plain, found); !match.is_null())
                matches.push_back(std::move(match));
    } catch (const json::exception&) {
        throw ApiFailure(ApiFailure::kUnavailable, "The engine server's answer is not readable.");
    }
    const std::string language = engine.value("language", std::string());
    return {
        {"software",
         {{"name", "Verbarium"},
          {"version", request.version},
          {"buildDate", kBuildDate},
          {"apiVersion", 1},
          {"premium", false},
          {"status", ""}}},
        {"warnings",
         {{"incompleteResults", engine.contains("incomplete") &&
                                    engine["incomplete"].is_boolean() &&
                                    engine["incomplete"].get<bool>()}}},
        {"language", Language(language, request.detect ? engine.value("confidence", 0.0) : 1.0)},
        {"matches", std::move(matches)}};
}
