#include "cmdhandlers/Spell/Spell_CH.h"

#include "cmdhandlers/Dictionary/NextCommand.h"
#include "cmdhandlers/Spell/MisspellingScan.h"
#include "kernel/CommandRegistry.h"
#include "kernel/settings/MaxProblems_SS.h"
#include "text/DefaultErrorDecorator.h"
#include "text/TextProcessor.h"
#include "text/TextRenderers.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "spell", Spell_CH);

namespace {
constexpr char kInternalError[] = "SpellCommandHandler::apply() - internal error.";
constexpr int kArgumentCount = 7;
constexpr char kDialogCommand[] = "suggest";
}  // namespace

void Spell_CH::apply(StringMap& map, InternalData& data) {
    RunMapped({"Spell_CH", kInternalError, __FILE__, __LINE__}, [&] {
        // After a correction, the model the correction kept (no second load of the text).
        const std::shared_ptr<TextProcessor> model = LoadedText(map, data);
        TextProcessor& processor = *model;
        CommonSpell_CH::apply(map, data, "check_spelling4", kArgumentCount,
                              processor.GetCheckText(), "Spell check - failed.");
        const int problem =
            ScanMisspellings(processor, result(), map[":chng_pos:"], MaxProblems_SS::Of(map));
        map["problemid"] = std::to_string(problem);

        // Checking and scanning leave the loaded model as it was: loading the text again would
        // build the same elements.
        DefaultErrorDecorator decorator(u"suggest", problem);
        map["view"] = RenderDecorated(processor, decorator);
        map["text"] = processor.GetText();
        map["loaddlg"] = processor.MakeDialogCall(kDialogCommand, problem);
    });
}
