#pragma once
// Which matches a check may report, so that the engine does not do the work of the others: the
// caller switches spelling off, or names the grammar rules wanted. Text form:
//   "<spelling>;<mode>:<numbers>"
//   spelling  "1": misspellings are wanted, "0": not
//   mode      "except": every grammar rule but the numbers listed; "only": just those
//   numbers   grammar rule numbers, comma-separated (entries that are not numbers are skipped)
// The empty text, and any text not of this form, selects everything: the caller filters the
// answer again, so reading too much costs time, never a match.
#include <set>
#include <string_view>
#include <vector>

class MatchSelection {
  public:
    static MatchSelection Parse(std::string_view text);

    bool spelling() const { return spelling_; }
    bool Grammar(int rule) const { return only_ == (rules_.count(rule) > 0); }
    // Whether a problem of any of `rules` may be reported.
    bool AnyGrammar(const std::vector<int>& rules) const;

  private:
    bool spelling_ = true;
    bool only_ = false;  // false: rules_ lists the rules left out
    std::set<int> rules_;
};
