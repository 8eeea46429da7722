#include "cmdhandlers/Spell/SpellAll_CH.h"

#include "cmdhandlers/Spell/SuggestionAnswers.h"
#include "kernel/CommandRegistry.h"
#include "kernel/settings/MaxProblems_SS.h"
#include "text/TextProcessor.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "spellsuggestall", SpellAll_CH);

namespace {
constexpr char kInternalError[] = "SpellsuggestallCommandHandler::apply() - internal error.";
constexpr int kArgumentCount = 6;
}  // namespace

void SpellAll_CH::apply(StringMap& map, InternalData& data) {
    RunMapped({"SpellAll_CH", kInternalError, __FILE__, __LINE__}, [&] {
        TextProcessor processor(map[":prse_opt:"],
                                data.Get<FilteringParams>(idkey::FilteringParams));
        processor.SetText(map["text"]);
        CommonSpell_CH::apply(map, data, "get_all_suggestions4", kArgumentCount,
                              processor.GetCheckText(), "Spell check - failed.");
        map["spellsuggestall"] = SuggestAllFields(result(), MaxProblems_SS::Of(map));
    });
}
