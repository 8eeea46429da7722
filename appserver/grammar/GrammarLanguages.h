#pragma once
// The grammar checkers of the languages that have rules (GrammarRuleTable::ForLanguage), made
// once at start. Immutable after construction, thread-safe.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "grammar/GrammarChecker.h"

class GrammarLanguages {
  public:
    // The languages whose rule files are looked for.
    static constexpr std::string_view kKnown[] = {"en", "de"};

    // The checkers of kKnown that have a rule file beside the program.
    GrammarLanguages();
    // Checkers from given tables, such as "en" -> English rules (tests, benchmarks).
    explicit GrammarLanguages(
        std::vector<std::pair<std::string, std::shared_ptr<const GrammarRuleTable>>> tables);

    // The checker for `language` ("de_AT", "en-us", "de"), or null when it has no rules.
    const GrammarChecker* For(std::string_view language) const;
    // The languages that have rules ("en", "de").
    std::vector<std::string> Languages() const;

  private:
    std::vector<std::pair<std::string, std::unique_ptr<GrammarChecker>>> checkers_;
};
