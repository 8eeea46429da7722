#include "cmdhandlers/JsonApi/RuleSelection.h"

#include <algorithm>

#include "cmdhandlers/JsonApi/CheckAnswer.h"

namespace {

std::vector<std::string> Ids(std::string_view list) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(',', start), list.size());
        std::string_view id = list.substr(start, end - start);
        while (!id.empty() && id.front() == ' ') id.remove_prefix(1);
        while (!id.empty() && id.back() == ' ') id.remove_suffix(1);
        if (!id.empty()) out.emplace_back(id);
        start = end + 1;
    }
    return out;
}

bool Listed(const std::vector<std::string>& list, std::string_view id) {
    return std::find(list.begin(), list.end(), id) != list.end();
}

}  // namespace

RuleSelection RuleSelection::FromRequest(StringMap& map) {
    RuleSelection out;
    out.enabledRules_ = Ids(map["enabledrules"]);
    out.disabledRules_ = Ids(map["disabledrules"]);
    out.enabledCategories_ = Ids(map["enabledcategories"]);
    out.disabledCategories_ = Ids(map["disabledcategories"]);
    out.enabledOnly_ = map["enabledonly"] == "true";
    return out;
}

bool RuleSelection::Allows(std::string_view ruleId, std::string_view categoryId) const {
    if (Listed(disabledRules_, ruleId) || Listed(disabledCategories_, categoryId)) return false;
    return !enabledOnly_ || Listed(enabledRules_, ruleId) || Listed(enabledCategories_, categoryId);
}

bool RuleSelection::EmptyEnabledOnly() const {
    return enabledOnly_ && enabledRules_.empty() && enabledCategories_.empty();
}

std::string RuleSelection::EngineSelection() const {
    // The numbers of the grammar rule ids in `ids`, but those in `leftOut`.
    const auto numbers = [](const std::vector<std::string>& ids,
                            const std::vector<std::string>& leftOut) {
        constexpr std::string_view kPrefix = CheckAnswer::kGrammarRulePrefix;
        std::string out;
        for (const std::string& id : ids)
            if (id.starts_with(kPrefix) && !Listed(leftOut, id))
                out += (out.empty() ? "" : ",") + id.substr(kPrefix.size());
        return out;
    };
    const std::string spelling =
        Allows(CheckAnswer::kSpellingRule, CheckAnswer::kTyposCategory) ? "1;" : "0;";
    if (Listed(disabledCategories_, CheckAnswer::kGrammarCategory)) return spelling + "only:";
    if (!enabledOnly_ || Listed(enabledCategories_, CheckAnswer::kGrammarCategory))
        return spelling + "except:" + numbers(disabledRules_, {});
    return spelling + "only:" + numbers(enabledRules_, disabledRules_);
}
