#include "cmdhandlers/Grammar/Suggram_CH.h"

#include "cmdhandlers/Grammar/GrammarAnswers.h"
#include "cmdhandlers/Grammar/GrammarCall.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "kernel/CommandRegistry.h"
#include "text/TextProcessor.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "suggram", Suggram_CH);

namespace {
constexpr char kInternalError[] = "SuggramCommandHandler::apply() - internal error.";
}  // namespace

void Suggram_CH::apply(StringMap& map, InternalData& data) {
    CommonSpell_CH::RunMapped({"Suggram_CH", kInternalError, __FILE__, __LINE__}, [&] {
        TextProcessor processor(map[":prse_opt:"],
                                data.Get<FilteringParams>(idkey::FilteringParams));
        processor.SetText(map["text"]);
        const std::vector<std::string> results =
            CallCheckGrammar(map, data, processor.GetCheckText(), map["problemid"],
                             {"Suggram_CH", "", "Suggram  - failed.",
                              CommonSpell_CH::kServiceUnavailable, __FILE__, __LINE__});
        map["suggestlist"] = SuggramOutput(results[0], results[1]);
    });
}
