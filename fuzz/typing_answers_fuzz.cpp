// Feeds arbitrary bytes to the callback rule and the builders of the check-as-you-type and
// web-service answers: the input is split at the first two '|' into an engine answer, the
// request's words and a callback name. Script answers must never hold a '<' (nothing can end a
// surrounding script element) and an accepted callback is a plain dotted name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cmdhandlers/Spell/TypingAnswers.h"
#include "cmdhandlers/Spell/WebServiceAnswers.h"
#include "kernel/CorsHeaders.h"
#include "utils/JsonpCallback.h"

namespace {

std::string_view Part(std::string_view& rest) {
    const size_t bar = rest.find('|');
    const std::string_view part = rest.substr(0, bar);
    rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    return part;
}

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

bool NoAngle(const std::string& script) { return script.find('<') == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view answer = Part(rest);
    const std::string_view words = Part(rest);
    const std::string_view callback = rest;

    if (IsValidJsonpCallback(callback))
        Require(callback.find_first_of("()<>\"'; /\\\n") == std::string_view::npos);
    DojoCallNumber(callback);

    const CheckAndSuggestions parsed = ParseCheckAndSuggestions(answer);
    Require(NoAngle(IncorrectCorrectAnswer(
        parsed, {std::string(words), std::string(callback), size % 2 == 0})));
    Require(NoAngle(SuggestAnswer(parsed, words, static_cast<int>(size % 20), true)));
    SuggestAnswer(parsed, words, 3, false);
    Require(NoAngle(AddWordView(words, true)));
    Require(NoAngle(SpellTextView(answer, true)));
    Require(NoAngle(ScriptListLiteral(words)));
    Require(NoAngle(ErrorView(answer)));

    const CheckSpellingResults results = ReadAllSuggestions(answer, words, true);
    // The one-pass search finds what the search word by word finds.
    std::vector<std::string_view> distinct;
    for (const auto& [word, suggestions] : results.words) distinct.push_back(word);
    const std::vector<std::vector<int>> each = WholeWordOffsetsOfEach(words, distinct);
    for (size_t i = 0; i < distinct.size(); ++i)
        Require(each[i] == WholeWordOffsets(words, distinct[i]));
    for (const auto& [word, span] : results.positions)
        Require(words.substr(static_cast<size_t>(span.first), static_cast<size_t>(span.second)) ==
                word);
    for (const std::string& line : CorsHeaderLines(words, callback))
        Require(line.find_first_of("\r\n") == std::string::npos);
    return 0;
}
