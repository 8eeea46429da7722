#include "cmdhandlers/Spell/KwrlSuggest_CH.h"

#include "cmdhandlers/Spell/TypingAnswers.h"
#include "kernel/CallbackCheck.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "text/TextProcessor.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "kwirl_suggest", KwrlSuggest_CH);

namespace {
constexpr char kInternalError[] = "SpellsuggestallCommandHandler::apply() - internal error.";
}

void KwrlSuggest_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    RunMapped({"KwrlSuggest_CH", kInternalError, __FILE__, __LINE__}, [&] {
        RequireValidCallback(map["callback"]);
        const int count = LeadingDecimal(map["sug_len"]);
        TextProcessor processor(map[":prse_opt:"],
                                data.Get<FilteringParams>(idkey::FilteringParams));
        processor.SetText(map["text"]);
        CommonSpell_CH::apply(map, data, "check_and_suggestions", 6, processor.GetCheckText(),
                              "Spell check - failed.");
        map["view"] = SuggestAnswer(ParseCheckAndSuggestions(result()), map["text"], count,
                                    map["format"] == "json");
    });
}
