#include "grammar/GrammarLanguages.h"

namespace {

std::string_view Bare(std::string_view language) {
    return language.substr(0, language.find_first_of("_-"));
}

std::vector<std::pair<std::string, std::shared_ptr<const GrammarRuleTable>>> InstalledTables() {
    std::vector<std::pair<std::string, std::shared_ptr<const GrammarRuleTable>>> out;
    for (std::string_view language : GrammarLanguages::kKnown)
        if (auto table = GrammarRuleTable::ForLanguage(language))
            out.emplace_back(std::string(language), std::move(table));
    return out;
}

}  // namespace

GrammarLanguages::GrammarLanguages() : GrammarLanguages(InstalledTables()) {}

GrammarLanguages::GrammarLanguages(
    std::vector<std::pair<std::string, std::shared_ptr<const GrammarRuleTable>>> tables) {
    for (auto& [language, table] : tables)
        checkers_.emplace_back(language, std::make_unique<GrammarChecker>(std::move(table)));
}

const GrammarChecker* GrammarLanguages::For(std::string_view language) const {
    for (const auto& [code, checker] : checkers_)
        if (code.size() == Bare(language).size() &&
            std::equal(code.begin(), code.end(), Bare(language).begin(),
                       [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); }))
            return checker.get();
    return nullptr;
}

std::vector<std::string> GrammarLanguages::Languages() const {
    std::vector<std::string> out;
    for (const auto& entry : checkers_) out.push_back(entry.first);
    return out;
}
