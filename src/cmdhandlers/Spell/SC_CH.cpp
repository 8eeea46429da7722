#include "cmdhandlers/Spell/SC_CH.h"

#include "cmdhandlers/Spell/TypingAnswers.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "text/FilteringParams.h"
#include "utils/InternalDataKeys.h"
#include "utils/TextEscapes.h"

VERB_REGISTER_COMMAND(Program::Orthd, "sc", SC_CH);

namespace {
constexpr char kProtocolVersion[] = "2.1";
constexpr char kDefaultCallback[] = "kwirl.call";
}  // namespace

void SC_CH::apply(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    AnswerFailures(map, true, [&] {
        if (map["v"] != kProtocolVersion)
            VERB_THROW(CommandHandler::exception, "Unrecognize protocol version");
        map["callback"] = ParenthesisEscape(CheckedCallback(map));
        const std::string properties =
            PropertiesScript(map, data.GetOr<std::vector<std::string>>(idkey::IniKeys, {}));
        if (map["words"].empty()) {
            map["view"] = NoWordsView(map["langs_ver"]);
            map["format"] = "json";
            return;
        }
        // The words go to the engine as received: no text model to build. The filtering
        // parameters must still be there (the missing-language answer otherwise).
        data.Get<FilteringParams>(idkey::FilteringParams);
        map["format"] = "json";
        std::string answer = CheckWords(map, data, true);
        if (map["callback"].empty()) map["callback"] = kDefaultCallback;
        answer += VersionStatement(map["langs_ver"], map["verlang"]);
        if (!properties.empty()) answer += ");" + properties;
        map["view"] = answer;
    });
}
