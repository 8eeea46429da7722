#include "cmdhandlers/Grammar/KwirlGrammar_CH.h"

#include "cmdhandlers/Common/EngineFailure.h"
#include "cmdhandlers/Grammar/TypingGrammarAnswer.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "kwirl_grammar", KwirlGrammar_CH);

namespace {
constexpr char kCheckFailed[] = "Check grammar - failed.";
constexpr char kTooLong[] = "Text too long.";
constexpr char kDefaultCallback[] = "kwirl.call";
constexpr char kGrammarOnly[] = "0;except:";
constexpr char kNoMatches[] = "{\"matches\":[]}";
}  // namespace

void KwirlGrammar_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    AnswerFailures(map, false, [&] {
        map["format"] = "json";
        const std::string callback = CheckedCallback(map);
        map["callback"] = callback.empty() ? kDefaultCallback : callback;
        const std::string text = data.GetOr<std::string>(idkey::TextAsSent, map["text"]);
        if (text.size() > kMaxTextBytes) VERB_THROW(CommandHandler::exception, kTooLong);
        if (text.empty()) {
            map["view"] = kNoMatches;
            return;
        }
        const std::string& language = map["slang"];
        const std::vector<std::string> results =
            CallOrFail(map, SpellServer(map, data, language), "check_selected_matches",
                       {language, "", text, "", "", kGrammarOnly}, 1,
                       {"KwirlGrammar_CH", "appserver_hostname", kCheckFailed,
                        CommonSpell_CH::kServiceUnavailable, __FILE__, __LINE__});
        const std::optional<std::string> view = TypingGrammarAnswer::Build(results[0], text);
        if (!view) VERB_THROW(CommandHandler::exception, kCheckFailed);
        map["view"] = *view;
    });
}
