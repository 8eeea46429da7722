#pragma once
// The answer of "kwirl_grammar" from the engine's check_selected_matches result, as a pure
// function. The engine's answer comes from outside: any bytes are accepted, nothing here
// throws.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class TypingGrammarAnswer {
  public:
    static constexpr size_t kMaxMatches = 200;
    static constexpr size_t kMaxReplacements = 8;
    static constexpr size_t kMaxMessageBytes = 1000;

    // '{"matches":[{"offset":n,"length":n,"rule":"GRAMMAR_RULE_<number>","message":"...",
    // "shortMessage":"...","replacements":["...",...]},...]}': the grammar matches of `engine`
    // (misspellings, rule 0, are left out) with offset and length in UTF-16 units of `text`,
    // cut to the text; a match outside the text or without a positive length, or with fields of
    // the wrong type, is left out. Non-ASCII characters are written as \u escapes, so the answer
    // is safe in a script whatever the engine wrote. nullopt when `engine` is not a
    // check_matches result.
    static std::optional<std::string> Build(std::string_view engine, std::string_view text);
};
