#include "cmdhandlers/Thes/TheDBGetWord_CH.h"

#include "cmdhandlers/Common/EngineFailure.h"
#include "cmdhandlers/Grammar/GrammarServer.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "cmdhandlers/Thes/ThesaurusAnswers.h"

namespace {
constexpr char kHandler[] = "TheDBGetWord_CH";
constexpr char kInternalError[] = "SynonymCommandHandler::apply() - internal error.";
}  // namespace

void TheDBGetWord_CH::apply(StringMap& map, InternalData& data) {
    CommonSpell_CH::RunMapped({kHandler, kInternalError, __FILE__, __LINE__}, [&] {
        const std::string word = map["word"];
        map[":word_org:"] = word;
        const std::vector<std::string> results =
            CallOrFail(map, GrammarServer(map, data), Function(), {word}, 1,
                       {kHandler, "grammar_host", "Synonym  - failed.",
                        CommonSpell_CH::kServiceUnavailable, __FILE__, __LINE__});
        map["synlist"] = ThesaurusFields(results.front());
    });
}
