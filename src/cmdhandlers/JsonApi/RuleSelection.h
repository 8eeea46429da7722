#pragma once
// Which rules a check reports, from the request's "enabledRules", "disabledRules",
// "enabledCategories", "disabledCategories" (comma-separated ids) and "enabledOnly"
// ("true": only the enabled rules and categories). A disabled rule or category is never
// reported, even when also enabled.
#include <string>
#include <string_view>
#include <vector>

#include "utils/StringMap.h"

class RuleSelection {
  public:
    static RuleSelection FromRequest(StringMap& map);

    bool Allows(std::string_view ruleId, std::string_view categoryId) const;
    // "enabledOnly" without any enabled rule or category: nothing could be reported.
    bool EmptyEnabledOnly() const;
    // The selection in the engine's form (check_selected_matches, appserver MatchSelection):
    // whether misspellings can be reported, and which grammar rule numbers, so that the engine
    // skips the work whose matches would be dropped.
    std::string EngineSelection() const;

  private:
    std::vector<std::string> enabledRules_, disabledRules_, enabledCategories_, disabledCategories_;
    bool enabledOnly_ = false;
};
