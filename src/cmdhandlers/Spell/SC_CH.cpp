#include "cmdhandlers/Spell/SC_CH.h"

#include "cmdhandlers/Spell/TypingAnswers.h"
#include "kernel/CommandRegistry.h"
#include "kernel/CorsHeaders.h"
#include "text/TextProcessor.h"
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
        TextProcessor processor(map[":prse_opt:"],
                                data.Get<FilteringParams>(idkey::FilteringParams));
        processor.SetText(map["words"]);
        map["format"] = "json";
        std::string answer = CheckWords(map, data, true);
        if (map["callback"].empty()) map["callback"] = kDefaultCallback;
        answer += VersionStatement(map["langs_ver"], map["verlang"]);
        if (!properties.empty()) answer += ");" + properties;
        map["view"] = answer;
    });
}
