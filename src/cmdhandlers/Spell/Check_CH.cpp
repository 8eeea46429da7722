#include "cmdhandlers/Spell/Check_CH.h"

#include "kernel/CommandRegistry.h"
#include "kernel/RedirectTarget.h"
#include "text/TextProcessor.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "check", Check_CH);

namespace {
constexpr char kInternalError[] = "CheckCommandHandler::apply() - internal error.";
constexpr int kArgumentCount = 6;
constexpr char kRedirectRefused[] = "The redirect target is not allowed.";
}  // namespace

void Check_CH::apply(StringMap& map, InternalData& data) {
    if (!RedirectTarget::IsAllowed(map["trg_url"], map["HTTP_HOST"],
                                   map[RedirectTarget::kAllowedOriginsKey])) {
        map["check"] = "-1";
        VERB_THROW(CommandHandler::exception, kRedirectRefused);
    }
    try {
        RunMapped({"Check_CH", kInternalError, __FILE__, __LINE__}, [&] {
            TextProcessor processor(map[":prse_opt:"],
                                    data.Get<FilteringParams>(idkey::FilteringParams));
            processor.SetText(map["text"]);
            CommonSpell_CH::apply(map, data, "check_is_correct4", kArgumentCount,
                                  processor.GetCheckText(), "Quick spellcheck  - failed.");
            map["check"] = result() == "correct" ? "1" : "0";
        });
        // The answer is a redirect to the caller's page. Without a status a web server decides
        // alone: lighttpd redirects, Apache serves a local path itself (CGI) or answers 200
        // with the Location line ignored by browsers (FastCGI).
        data.Set<std::string>(idkey::HttpStatus, "302 Found");
    } catch (...) {
        map["check"] = "-1";
        throw;
    }
}
