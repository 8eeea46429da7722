#include "api/TextMatchService.h"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>

#include "api/MatchSelection.h"
#include "core/CallDeadline.h"
#include "grammar/GrammarChecker.h"
#include "grammar/GrammarLanguages.h"
#include "grammar/GrammarRuleTable.h"
#include "spell/SpellRequest.h"
#include "spell/SpellService.h"
#include "spell/SuggestionBudget.h"
#include "spell/WordTokenizer.h"

namespace {

using nlohmann::json;

std::vector<std::string> CommaList(const std::string& list) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(',', start), list.size());
        if (end > start) out.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// "pos,len;" entries of the spelling answer.
std::vector<std::pair<size_t, size_t>> Ranges(const std::string& answer) {
    std::vector<std::pair<size_t, size_t>> out;
    size_t start = 0;
    while (start < answer.size()) {
        const size_t end = std::min(answer.find(';', start), answer.size());
        const size_t comma = answer.find(',', start);
        if (comma < end)
            out.emplace_back(std::stoul(answer.substr(start, comma - start)),
                             std::stoul(answer.substr(comma + 1, end - comma - 1)));
        start = end + 1;
    }
    return out;
}

// The explanation's HTML as plain text: tags dropped, the five entities read.
std::string PlainText(const std::string& html) {
    static const std::vector<std::pair<std::string, char>> kEntities = {
        {"&quot;", '"'}, {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&#39;", '\''}};
    std::string out;
    for (size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            const size_t close = html.find('>', i);
            if (close != std::string::npos) {
                i = close;
                continue;
            }
        }
        if (html[i] == '&') {
            const auto entity = std::find_if(kEntities.begin(), kEntities.end(), [&](auto& e) {
                return html.compare(i, e.first.size(), e.first) == 0;
            });
            if (entity != kEntities.end()) {
                out += entity->second;
                i += entity->first.size() - 1;
                continue;
            }
        }
        out += html[i];
    }
    return out;
}

// The explanation's bold lead ("Repeated word."), or the whole plain text.
std::string ShortMessage(const std::string& html) {
    const size_t open = html.find("<b>");
    const size_t close = html.find("</b>");
    if (open == std::string::npos || close == std::string::npos || close < open)
        return PlainText(html);
    return PlainText(html.substr(open + 3, close - open - 3));
}

std::vector<int> RuleNumbers(const GrammarChecker& checker) {
    std::vector<int> numbers;
    for (const GrammarRule& rule : checker.rules().rules()) numbers.push_back(rule.number);
    return numbers;
}

}  // namespace

TextMatchService::TextMatchService(SpellService& spell, const GrammarLanguages& grammar,
                                   std::vector<std::string> languages)
    : spell_(spell),
      grammar_(grammar),
      languages_(std::move(languages)),
      detector_(spell, languages_) {}

bool TextMatchService::AddMisspellings(const std::string& language, const std::string& options,
                                       const std::string& text, const std::string& dictionaries,
                                       const std::u16string& wide, Matches& matches) const {
    const SpellRequest request =
        SpellRequest::Parse({language, "", options, text, "", dictionaries});
    std::map<std::string, std::vector<std::string>> suggested;
    SuggestionBudget budget(kMaxSuggestedWords);
    for (const auto& [pos, len] : Ranges(spell_.CheckSpelling(request))) {
        const std::string word = WordTokenizer::ToUtf8(std::u16string_view(wide).substr(pos, len));
        auto found = suggested.find(word);
        if (found == suggested.end()) {
            std::vector<std::string> list;
            if (budget.Take()) list = spell_.SuggestWord(language, word);
            found = suggested.emplace(word, std::move(list)).first;
        }
        matches.emplace_back(
            pos,
            json{{"offset", pos}, {"length", len}, {"rule", 0}, {"replacements", found->second}});
    }
    budget.Report("check_matches");
    return budget.Cut();
}

bool TextMatchService::AddGrammarProblems(const GrammarChecker& grammar, const std::u16string& wide,
                                          const MatchSelection& selection, Matches& matches) const {
    const std::vector<GrammarProblem> problems =
        grammar.Check(wide, [] { return CallDeadline::Current().Expired(); });
    for (const GrammarProblem& p : problems)
        if (selection.Grammar(p.rule))
            matches.emplace_back(p.pos, json{{"offset", p.pos},
                                             {"length", p.len},
                                             {"rule", p.rule},
                                             {"message", PlainText(p.explanation)},
                                             {"shortMessage", ShortMessage(p.explanation)},
                                             {"replacements", p.variants}});
    return problems.size() >= GrammarChecker::kMaxProblems;
}

std::string TextMatchService::CheckMatches(const std::vector<std::string>& params) const {
    const std::string& text = params[2];
    const MatchSelection selection = MatchSelection::Parse(params.size() > 5 ? params[5] : "");
    DetectedLanguage language{params[0], 1.0};
    if (params[0] == "auto") language = detector_.Detect(text, CommaList(params[4]));
    const std::u16string wide = WordTokenizer::ToUtf16(text);

    Matches matches;
    bool incomplete = false;
    if (selection.spelling()) {
        incomplete = AddMisspellings(language.code, params[1], text, params[3], wide, matches);
    } else {
        // An empty text still refuses a language that is not served, as a check with spelling
        // does, at no cost.
        spell_.CheckSpelling(SpellRequest::Parse({language.code, "", "", "", "", ""}));
    }
    const GrammarChecker* grammar = grammar_.For(language.code);
    if (grammar && selection.AnyGrammar(RuleNumbers(*grammar)))
        incomplete = AddGrammarProblems(*grammar, wide, selection, matches) || incomplete;
    incomplete = incomplete || CallDeadline::Current().Expired();
    std::stable_sort(matches.begin(), matches.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    json list = json::array();
    for (auto& entry : matches) list.push_back(std::move(entry.second));
    return json{{"language", language.code},
                {"confidence", language.confidence},
                {"incomplete", incomplete},
                {"matches", std::move(list)}}
        .dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string TextMatchService::Languages() const {
    std::string out;
    for (const std::string& code : languages_) out += (out.empty() ? "" : ",") + code;
    return out;
}
