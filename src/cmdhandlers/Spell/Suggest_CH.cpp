#include "cmdhandlers/Spell/Suggest_CH.h"

#include "cmdhandlers/Spell/SuggestionAnswers.h"
#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "suggest", Suggest_CH);

namespace {
constexpr char kInternalError[] = "SuggestCommandHandler::apply() - internal error.";
constexpr int kArgumentCount = 6;
}  // namespace

void Suggest_CH::apply(StringMap& map, InternalData& data) {
    RunMapped({"Suggest_CH", kInternalError, __FILE__, __LINE__}, [&] {
        const std::string word = map["word"];
        map[":word_org:"] = word;
        CommonSpell_CH::apply(map, data, "get_suggestions4", kArgumentCount, word,
                              "Suggest  - failed.");
        map["suggestlist"] = SuggestList(result());
    });
}
