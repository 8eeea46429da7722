#include "cmdhandlers/Spell/KwrlSpellText_CH.h"

#include "cmdhandlers/Spell/MisspellingScan.h"
#include "cmdhandlers/Spell/TypingAnswers.h"
#include "kernel/CallbackCheck.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "text/KwrlErrorDecorator.h"
#include "text/TextProcessor.h"
#include "text/TextRenderers.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "kwirl_spelltext", KwrlSpellText_CH);

namespace {
constexpr char kInternalError[] = "KwrlSpellText_CH::apply() - internal error.";
}

void KwrlSpellText_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    RunMapped({"KwrlSpellText_CH", kInternalError, __FILE__, __LINE__}, [&] {
        RequireValidCallback(map["callback"]);
        TextProcessor processor(map[":prse_opt:"],
                                data.Get<FilteringParams>(idkey::FilteringParams));
        processor.SetText(map["text"]);
        CommonSpell_CH::apply(map, data, "check_spelling4", 7, processor.GetCheckText(),
                              "Spell check - failed.");
        map["problemid"] = std::to_string(ScanMisspellings(processor, result(), map[":chng_pos:"]));
        KwrlErrorDecorator decorator;
        map["view"] = SpellTextView(RenderDecorated(processor, decorator), map["format"] == "json");
    });
}
