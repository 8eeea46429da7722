#include "cmdhandlers/Info/GetScript_CH.h"

#include "cmdhandlers/Info/CommandFailure.h"
#include "kernel/CommandRegistry.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "script", GetScript_CH);

namespace {
constexpr char kInternalError[] = "GetScript_CH::apply() - internal error.";
}  // namespace

void GetScript_CH::apply(StringMap& map, InternalData& data) {
    info::RunReported({"GetScript_CH", kInternalError, __FILE__, __LINE__}, [&] {
        data.Insert(idkey::HttpCacheControl, std::string());
        const std::string doc = map["doc"];
        if (doc != "kwirl_lang" && doc != "qdr") data.Set(idkey::ExpandTemplate, false);
        if (doc == "qdr") {
            // Left as placeholders: the relay fills them with its own address.
            map["service_host"] = "<#service_host#>";
            map["ferrix_url"] = "<#ferrix_url#>";
        }
    });
}
