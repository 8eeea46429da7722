#pragma once
// The functions behind the service's JSON check API: every spelling and grammar problem of a
// text in one answer, and the list of served languages.
//
// check_matches: language (a served language, or "auto" to detect one), options (as the
// spelling functions), text (UTF-8), user dictionaries (as the spelling functions), preferred
// languages for "auto" (comma-separated, such as "en_US,de_DE"); check_selected_matches takes a
// sixth, the matches wanted (MatchSelection: spelling off, grammar rules named), and does no work
// for the others: no spelling without misspellings wanted, no grammar check when no rule of the
// language's table is wanted. One result, a JSON object:
//   {"language": "en_US", "confidence": 1.0, "incomplete": false,
//    "matches": [{"offset": 0, "length": 3, "rule": 0, "replacements": ["the", ...]},
//                {"offset": 8, "length": 5, "rule": 1, "message": "...", "shortMessage": "...",
//                 "replacements": ["as"]}, ...]}
// Offsets and lengths count UTF-16 code units of the text; rule 0 is a misspelling (at most
// kMaxSuggestedWords distinct words get suggestions), any other number the grammar rule of the
// text's language (languages with grammar rules only). Matches come in text order. Confidence is 1
// for a named language. "incomplete" is true when work was cut short: misspelt words left without
// suggestions (SuggestionBudget: word count, time for suggestions, client gone), the grammar
// problem cap reached, or the call's deadline passed. list_languages: one result, the served
// language codes separated by ",".
//
// Throws EngineError for an unsupported language or a text that is not UTF-8.
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "api/LanguageDetector.h"

class GrammarChecker;
class GrammarLanguages;
class MatchSelection;
class SpellService;

class TextMatchService {
  public:
    static constexpr size_t kMaxSuggestedWords = 256;

    // `grammar` must outlive the service.
    TextMatchService(SpellService& spell, const GrammarLanguages& grammar,
                     std::vector<std::string> languages);

    std::string CheckMatches(const std::vector<std::string>& params) const;
    std::string Languages() const;

  private:
    using Matches = std::vector<std::pair<size_t, nlohmann::json>>;
    // Each returns true when it left work undone (suggestion budget, problem cap).
    bool AddMisspellings(const std::string& language, const std::string& options,
                         const std::string& text, const std::string& dictionaries,
                         const std::u16string& wide, Matches& matches) const;
    bool AddGrammarProblems(const GrammarChecker& grammar, const std::u16string& wide,
                            const MatchSelection& selection, Matches& matches) const;

    SpellService& spell_;
    const GrammarLanguages& grammar_;
    std::vector<std::string> languages_;
    LanguageDetector detector_;
};
