#include "cmdhandlers/Relay/ProxyScript_CH.h"

#include "cmdhandlers/Relay/RunRegistered.h"
#include "kernel/CommandRegistry.h"
#include "kernel/ContentType.h"
#include "templates/TemplateMap.h"
#include "templates/TemplateNotFound.h"
#include "utils/InternalDataKeys.h"

namespace ferrix {

VERB_REGISTER_COMMAND(Program::Ferrix, "script", ProxyScript_CH);

namespace {

void LoadFromCache(StringMap& map, InternalData& data) {
    const TemplateInformationRef source = data.Get<TemplateMap>(idkey::TemplateMap)["script"];
    map[":template:"] = source->content();
    data.Set(idkey::ResponseContentType, ContentType{source->contentType()});
    data.Set(idkey::LoadTemplate, false);
}

}  // namespace

void ProxyScript_CH::apply(StringMap& map, InternalData& data) {
    if (map["ferrix_url"].empty()) map["ferrix_url"] = map["REQUEST_PATH"];
    if (data.GetOr(idkey::NoCache, false)) {
        RunRegistered({"alternate", "default"}, map, data);
        return;
    }
    try {
        LoadFromCache(map, data);
    } catch (const Error::ErrorMessage&) {
        throw;
    } catch (const TemplateInformationAbsent&) {
        VERB_THROW(CommandHandler::criticalException, "Requested file name is unexpected");
    } catch (const TemplateNotFound& e) {
        throw Error::CriticalErrorMessage(e.what(), "", "", e.file(), e.line());
    } catch (...) {
        VERB_THROW(CommandHandler::exception, "ProxyScript_CH::apply() - internal error.");
    }
}

}  // namespace ferrix
