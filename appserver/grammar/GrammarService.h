#pragma once
// The function check_grammar: parameters ignored rule numbers (comma-separated), ignored
// positions (comma-separated), text, current problem index (decimal, -1 or empty for none).
// Results: explanation and variants (" -OR- " separated) of the current problem, empty for -1
// or an index past the end; the problem ranges "pos,len;"; their rule numbers "," separated.
// Problems of an ignored rule or starting at an ignored position are left out (and do not
// count for the index). The check ends at the deadline of the call (CallDeadline::Current),
// also when its client has gone; the answer then holds the problems found so far, and the log
// says so. Throws EngineError for a malformed index or a text that is not UTF-8.
// The call names no language: the rules are those of the language the text is written in, as
// `languageOf` tells (English when it names none with rules, or without `languageOf`).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "grammar/GrammarChecker.h"
#include "grammar/GrammarLanguages.h"

class GrammarService {
  public:
    // The language of a text (UTF-8), such as "de_DE"; "" when unknown.
    using LanguageOf = std::function<std::string(std::string_view)>;

    // English rules for every text.
    GrammarService();
    // `languages` must outlive the service.
    GrammarService(const GrammarLanguages& languages, LanguageOf languageOf);

    std::vector<std::string> CheckGrammar(const std::vector<std::string>& params) const;

  private:
    const GrammarChecker& CheckerFor(std::string_view utf8) const;

    GrammarChecker english_;
    const GrammarLanguages* languages_ = nullptr;
    LanguageOf languageOf_;
};
