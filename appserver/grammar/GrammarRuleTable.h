#pragma once
// The grammar rules of a language, read from a rule file. One rule per line:
//
//   NUMBER CONDITION /PATTERN/ => VARIANT -OR- VARIANT ... :: EXPLANATION
//
// NUMBER is the rule's stable number (several lines may share one: ignoring the number ignores
// them all). CONDITION is "-", "start" (the match is a word that starts a sentence), "vowel:N"
// or "consonant:N" (capture group N starts with that sound). PATTERN is an ICU regular
// expression over the text ("\/" for a slash); the match is the problem's range. Blank lines
// and lines starting with "#" are comments.
//
// Example sentences follow their rule: "+ SENTENCE" holds a problem of that rule number,
// "= SENTENCE" holds none (tests check every example against the rules).
//
// A line that breaks these rules, or whose pattern does not compile, is skipped and reported in
// errors(); the other lines still count. Immutable after construction, so thread-safe.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "grammar/GrammarRule.h"

class GrammarRuleTable {
  public:
    struct Example {
        int rule = 0;
        bool hasProblem = false;
        std::string text;
    };
    struct LineError {
        size_t line = 0;  // 1-based
        std::string reason;
    };

    // The default file name, looked for beside the engine server's program; the rules of other
    // languages are in "grammar-LL.rules" (LL: the language without its region).
    static constexpr char kFileName[] = "grammar-en.rules";

    static GrammarRuleTable Parse(std::string_view text);
    // The table of `path`; a file that cannot be read gives an empty table and one error.
    static GrammarRuleTable Load(const std::string& path);
    // The process's table, read once on first use from kFileName beside the program, with every
    // skipped line logged. Without the file the table is empty (and that is logged).
    static std::shared_ptr<const GrammarRuleTable> Default();
    // The rules for `language` ("de_DE", "de-ch", "en"), read once on first use from
    // "grammar-LL.rules" beside the program with every skipped line logged; null when there is
    // no such file or the language is not a plain language code. Thread-safe.
    static std::shared_ptr<const GrammarRuleTable> ForLanguage(std::string_view language);

    const std::vector<GrammarRule>& rules() const { return rules_; }
    const std::vector<LineError>& errors() const { return errors_; }
    const std::vector<Example>& examples() const { return examples_; }

  private:
    std::vector<GrammarRule> rules_;
    std::vector<LineError> errors_;
    std::vector<Example> examples_;
};
