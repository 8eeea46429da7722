#pragma once
// The function check_grammar: parameters ignored rule numbers (comma-separated), ignored
// positions (comma-separated), text, current problem index (decimal, -1 or empty for none).
// Results: explanation and variants (" -OR- " separated) of the current problem, empty for -1
// or an index past the end; the problem ranges "pos,len;"; their rule numbers "," separated.
// Problems of an ignored rule or starting at an ignored position are left out (and do not
// count for the index). The check ends at the deadline of the call (CallDeadline::Current),
// also when its client has gone; the answer then holds the problems found so far, and the log
// says so. Throws EngineError for a malformed index or a text that is not UTF-8.
#include <string>
#include <utility>
#include <vector>

#include "grammar/GrammarChecker.h"

class GrammarService {
  public:
    GrammarService() = default;
    explicit GrammarService(GrammarChecker checker) : checker_(std::move(checker)) {}

    std::vector<std::string> CheckGrammar(const std::vector<std::string>& params) const;

  private:
    GrammarChecker checker_;
};
