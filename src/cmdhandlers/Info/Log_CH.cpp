#include "cmdhandlers/Info/Log_CH.h"

#include "cmdhandlers/Info/CommandFailure.h"
#include "kernel/CommandRegistry.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "log", Log_CH);

namespace {
constexpr char kInternalError[] = "IgnoreHandler::apply() - internal error.";
}  // namespace

void Log_CH::apply(StringMap& map, InternalData& data) {
    info::RunReported({"Log_CH", kInternalError, __FILE__, __LINE__, true}, [&] {
        // The answer is empty: no template is looked up (there is none for this command).
        map[":template:"] = "";
        data.Set(idkey::LoadTemplate, false);
        map[":word_org:"] = map["incoming_word"];
        if (map["action"] == "replaceWord") map["word"] = map["result"];
        map["action"] = map["type"] + "_" + map["action"];
    });
}
