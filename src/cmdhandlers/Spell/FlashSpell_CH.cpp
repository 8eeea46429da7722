#include "cmdhandlers/Spell/FlashSpell_CH.h"

#include <string_view>

#include "cmdhandlers/Spell/MisspellingScan.h"
#include "kernel/CommandRegistry.h"
#include "text/FlashErrorDecorator.h"
#include "text/TextProcessor.h"
#include "text/TextRenderers.h"
#include "utils/InternalDataKeys.h"
#include "utils/TextEscapes.h"

VERB_REGISTER_COMMAND(Program::Orthd, "flash_spell", FlashSpell_CH);

namespace {

constexpr char kInternalError[] = "FlashSpell_CH::apply() - internal error.";
constexpr char kNoSuggestions[] = "no_any_suggestions";

// One "<Word>" element per answer line "word:suggestions" that has suggestions; word and
// suggestions come from the user's text and are escaped for XML.
std::string SuggestionElements(std::string_view answer) {
    std::string out;
    while (!answer.empty()) {
        const size_t end = answer.find('\n');
        const std::string_view line = answer.substr(0, end);
        answer = end == std::string_view::npos ? std::string_view() : answer.substr(end + 1);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view suggestions = line.substr(colon + 1);
        if (suggestions.empty() || suggestions == kNoSuggestions) continue;
        out += "<Word Value=\"" + XmlTextEscape(line.substr(0, colon)) + "\">" +
               XmlTextEscape(suggestions) + "</Word>";
    }
    return out;
}

}  // namespace

void FlashSpell_CH::apply(StringMap& map, InternalData& data) {
    RunMapped({"FlashSpell_CH", kInternalError, __FILE__, __LINE__}, [&] {
        TextProcessor processor(map[":prse_opt:"],
                                data.Get<FilteringParams>(idkey::FilteringParams));
        processor.SetText(map["text"]);
        const std::string checkText = processor.GetCheckText();
        CommonSpell_CH::apply(map, data, "check_spelling4", 7, checkText, "Spell check - failed.");
        const int problem = ScanMisspellings(processor, result(), map[":chng_pos:"]);
        map["problemid"] = std::to_string(problem);

        CommonSpell_CH::apply(map, data, "get_all_suggestions4", 6, checkText,
                              "Spell check - failed.");
        const std::string suggestions = SuggestionElements(result());

        // The model is still the text as loaded: the problems were only recorded beside it.
        FlashErrorDecorator decorator;
        const std::string rendered = RenderDecorated(processor, decorator);
        map["view"] = "<SpellResult><ProcessedText>" + XmlTextEscape(rendered) +
                      " </ProcessedText><Suggestions>" + suggestions +
                      "</Suggestions></SpellResult>";
    });
}
