#include "cmdhandlers/JsonApi/V2Check_CH.h"

#include "cmdhandlers/JsonApi/ApiEngineCall.h"
#include "cmdhandlers/JsonApi/CheckAnswer.h"
#include "cmdhandlers/JsonApi/JsonApiAnswer.h"
#include "cmdhandlers/JsonApi/LanguageNames.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "kernel/CommandRegistry.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "v2/check", V2Check_CH);

namespace {

constexpr char kAuto[] = "auto";

AnnotatedText ReadText(StringMap& map, InternalData& data) {
    // Without "data" the text is "text", empty when absent: an empty text has no problems.
    const bool annotated = !map["data"].empty();
    const std::string& value = annotated ? map["data"] : map["text"];
    if (value.size() > V2Check_CH::kMaxTextBytes)
        throw ApiFailure(ApiFailure::kTooLarge, "Your text exceeds the limit of " +
                                                    std::to_string(V2Check_CH::kMaxTextBytes) +
                                                    " bytes (it has " +
                                                    std::to_string(value.size()) + " bytes).");
    if (annotated) return AnnotatedText::FromData(value);
    // Positions count in the caller's own text, before no-break spaces were replaced.
    return AnnotatedText::FromText(data.GetOr<std::string>(idkey::TextAsSent, value));
}

// The personal dictionary of "username" for the engine's user dictionary argument, once its
// key ("apiKey") is known to be right; none without "username".
std::string PersonalDictionary(StringMap& map, InternalData& data) {
    const std::string name = map["username"];
    if (name.empty()) return {};
    ApiEngineCall::Call(map, data, "", "authorize_user_dictionary", {name, map["apikey"]}, 0);
    return UserDictionarySpec("", name);
}

}  // namespace

void V2Check_CH::apply(StringMap& map, InternalData& data) {
    JsonApiAnswer::Run(map, data, [&] {
        const std::string language = LanguageNames::EngineCode(map["language"]);
        if (language.empty())
            throw ApiFailure(ApiFailure::kBadRequest, "Missing 'language' parameter");
        const AnnotatedText text = ReadText(map, data);
        const RuleSelection rules = RuleSelection::FromRequest(map);
        const bool detect = language == kAuto;
        const std::vector<std::string> results = ApiEngineCall::Call(
            map, data, detect ? std::string() : language, "check_selected_matches",
            {language, "", text.plain(), PersonalDictionary(map, data),
             LanguageNames::EngineCode(map["preferredvariants"]), rules.EngineSelection()},
            1);
        JsonApiAnswer::Json(
            map, data, CheckAnswer::Build({text, rules, detect, map[":app__ver:"]}, results[0]));
    });
}
