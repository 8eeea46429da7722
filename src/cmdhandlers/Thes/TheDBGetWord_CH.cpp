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
        const std::optional<EngineSession::Target> server = GrammarServer(map, data);
        if (!server)
            FailCritically(kHandler, "Incorrect format of param 'grammar_host'",
                           CommonSpell_CH::kServiceUnavailable, __FILE__, __LINE__);
        EngineSession session(map, *server);
        if (!session.connected())
            FailCritically(kHandler, "Application server init failed.",
                           CommonSpell_CH::kServiceUnavailable, __FILE__, __LINE__);
        std::vector<std::string> results;
        if (session.Call(Function(), {word}, 1, results) != 0)
            FailCritically(kHandler, "Synonym  - failed.", CommonSpell_CH::kServiceUnavailable,
                           __FILE__, __LINE__);
        map["synlist"] = ThesaurusFields(results.front());
    });
}
