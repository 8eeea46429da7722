#pragma once
// The answer of "/v2/check" in the shape clients of LanguageTool's HTTP API read, from the
// engine's check_matches result (see docs/appserver-protocol.md).
//
// Every match carries message, shortMessage, replacements [{value}], offset and length
// (UTF-16 code units of the original text), context {text, offset, length} (up to
// kContextUnits on each side of the match), sentence, type {typeName} and rule {id,
// description, issueType, category {id, name}}. Misspellings are rule "SPELLING_RULE" in
// category "TYPOS"; grammar problems are "GRAMMAR_RULE_<number>" in category "GRAMMAR", the
// number being the engine's rule number (docs/json-api.md lists them).
#include <nlohmann/json.hpp>
#include <string>

#include "cmdhandlers/JsonApi/AnnotatedText.h"
#include "cmdhandlers/JsonApi/RuleSelection.h"

class CheckAnswer {
  public:
    static constexpr size_t kContextUnits = 40;
    static constexpr size_t kMaxSentenceUnits = 300;
    static constexpr char kSpellingRule[] = "SPELLING_RULE";
    static constexpr char kGrammarRulePrefix[] = "GRAMMAR_RULE_";
    static constexpr char kTyposCategory[] = "TYPOS";
    static constexpr char kGrammarCategory[] = "GRAMMAR";

    struct Request {
        const AnnotatedText& text;
        const RuleSelection& rules;
        bool detect = false;  // "language=auto"
        std::string version;  // the service's version
    };

    // Throws ApiFailure (503) when the engine's result is not what check_matches answers.
    static nlohmann::json Build(const Request& request, const std::string& engineResult);

  private:
    static nlohmann::json Match(const Request& request, const std::u16string& plain,
                                const nlohmann::json& found);
};
