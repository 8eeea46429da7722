#pragma once
// The functions behind the service's JSON check API: every spelling and grammar problem of a
// text in one answer, and the list of served languages.
//
// check_matches: language (a served language, or "auto" to detect one), options (as the
// spelling functions), text (UTF-8), user dictionaries (as the spelling functions), preferred
// languages for "auto" (comma-separated, such as "en_US,de_DE"). One result, a JSON object:
//   {"language": "en_US", "confidence": 1.0,
//    "matches": [{"offset": 0, "length": 3, "rule": 0, "replacements": ["the", ...]},
//                {"offset": 8, "length": 5, "rule": 1, "message": "...", "shortMessage": "...",
//                 "replacements": ["as"]}, ...]}
// Offsets and lengths count UTF-16 code units of the text; rule 0 is a misspelling (at most
// kMaxSuggestedWords distinct words get suggestions), any other number the grammar rule of the
// text's language (languages with grammar rules only). Matches come in text order. Confidence is 1
// for a named language. list_languages: one result, the served language codes separated by ",".
//
// Throws EngineError for an unsupported language or a text that is not UTF-8.
#include <string>
#include <vector>

#include "api/LanguageDetector.h"

class GrammarLanguages;
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
    SpellService& spell_;
    const GrammarLanguages& grammar_;
    std::vector<std::string> languages_;
    LanguageDetector detector_;
};
