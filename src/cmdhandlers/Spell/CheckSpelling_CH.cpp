#include "cmdhandlers/Spell/CheckSpelling_CH.h"

#include "cmdhandlers/Spell/WebServiceAnswers.h"
#include "kernel/CallbackCheck.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "check_spelling", CheckSpelling_CH);

namespace {
constexpr char kInternalError[] = "SpellCommandHandler::apply() - internal error.";
constexpr char kApiVersion[] = "1.0";
constexpr int kArgumentCount = 6;
constexpr char kNoLanguage[] = "No spelling language given: the parameter \"slang\" is missing.";
}  // namespace

void CheckSpelling_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    RunMapped({"CheckSpelling_CH", kInternalError, __FILE__, __LINE__}, [&] {
        RequireValidCallback(map["callback"]);
        if (map["version"] != kApiVersion)
            VERB_THROW(CommandHandler::exception, "Unsupported API version.");
        if (map["slang"].empty()) VERB_THROW(CommandHandler::exception, kNoLanguage);
        map["check_spelling_xml"] = "check_spelling_xml";
        map["check_spelling_json"] = "check_spelling_json";
        const std::string text = map["text"];
        CommonSpell_CH::apply(map, data, "get_all_suggestions4", kArgumentCount, text,
                              "Spell check - failed.");
        // Found in the caller's text: a no-break space (two bytes) became a comma (one) in the
        // checked copy, and neither is part of a word.
        CheckSpellingResults results =
            ReadAllSuggestions(result(), data.GetOr<std::string>(idkey::TextAsSent, text),
                               map["out_type"] == "positions");
        data.Set(idkey::CheckSpellingSuggestions, std::move(results.words));
        data.Set(idkey::CheckSpellingPositions, std::move(results.positions));
    });
}
