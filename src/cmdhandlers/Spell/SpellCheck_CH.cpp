#include "cmdhandlers/Spell/SpellCheck_CH.h"

#include "cmdhandlers/Spell/TypingAnswers.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "text/FilteringParams.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "spellcheck", SpellCheck_CH);

namespace {
// The first call of a page (number 2) switches the context-menu hook off unless banners run.
constexpr int kFirstPageCall = 2;
constexpr char kContextMenuOff[] = "kwirl.props({fireOnContextMenu:function(){}}";
}  // namespace

void SpellCheck_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    AnswerFailures(map, false, [&] {
        map["callback"] = CheckedCallback(map);
        const std::optional<int> callNumber = DojoCallNumber(map["callback"]);
        if (!callNumber) VERB_THROW(CommandHandler::exception, "Invalid format");
        const std::string trailing =
            *callNumber == kFirstPageCall && map["bnr"] != "1" ? kContextMenuOff : "";
        if (map["words"].empty()) {
            map["view"] = NoWordsView(map["langs_ver"]);
            map["format"] = "json";
            return;
        }
        // The words go to the engine as received: no text model to build. The filtering
        // parameters must still be there (the missing-language answer otherwise).
        data.Get<FilteringParams>(idkey::FilteringParams);
        map["format"] = "json";
        std::string answer = CheckWords(map, data, false);
        answer += VersionStatement(map["langs_ver"], map["verlang"]);
        if (!trailing.empty()) answer += ")\n" + trailing;
        map["view"] = answer;
    });
}
