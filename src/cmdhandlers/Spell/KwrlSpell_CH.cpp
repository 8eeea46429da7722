#include "cmdhandlers/Spell/KwrlSpell_CH.h"

#include "cmdhandlers/Spell/MisspellingScan.h"
#include "cmdhandlers/Spell/TypingAnswers.h"
#include "kernel/CallbackCheck.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "text/TextProcessor.h"
#include "text/TextRenderers.h"
#include "text/Utf16Conversion.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "kwirl_spell", KwrlSpell_CH);

namespace {
constexpr char kInternalError[] = "KwrlSpell_CH::apply() - internal error.";
constexpr size_t kWordsWithSuggestions = 2;

// The first misspelt words, each followed by ",". They are read from the check stream the
// positions refer to, so markup and non-ASCII text before them do not shift them.
std::string FirstWords(const TextProcessor& processor) {
    const std::u16string check = processor.Text().CheckText();
    std::string words;
    const auto& problems = processor.Problems();
    for (size_t i = 0; i < problems.size() && i < kWordsWithSuggestions; ++i)
        words += Utf16ToUtf8(check.substr(static_cast<size_t>(problems[i].position),
                                          static_cast<size_t>(problems[i].length))) +
                 ",";
    return words;
}
}  // namespace

void KwrlSpell_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    RunMapped({"KwrlSpell_CH", kInternalError, __FILE__, __LINE__}, [&] {
        RequireValidCallback(map["callback"]);
        TextProcessor processor(map[":prse_opt:"],
                                data.Get<FilteringParams>(idkey::FilteringParams));
        processor.SetText(map["text"]);
        CommonSpell_CH::apply(map, data, "check_spelling4", 7, processor.GetCheckText(),
                              "Spell check - failed.");
        const int problem = ScanMisspellings(processor, result(), map[":chng_pos:"]);
        CommonSpell_CH::apply(map, data, "get_all_suggestions4", 6, FirstWords(processor),
                              "Spell check - failed.");
        map["problemid"] = std::to_string(problem);
        map["view"] = map["format"] == "json"
                          ? ScriptObject(RenderWordsJson(processor, map, result()))
                          : RenderWordsXml(processor, map, result());
    });
}
