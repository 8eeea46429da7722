#include "kernel/filters/TemplateLoad_FLT.h"

#include <algorithm>

#include "kernel/ContentTypes.h"
#include "kernel/CriticalErrorMessage.h"
#include "templates/TemplateMap.h"
#include "templates/TemplateNotFound.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

namespace {

constexpr char kTemplateAbsent[] = "Template information is not found";
constexpr char kCheckRedirect[] = "Location: <#trg_url#>?result=<#check#>&frameid=<#frameid#>\n\n";

void RemoveLineBreaks(std::string& text) {
    text.erase(
        std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
        text.end());
}

}  // namespace

void TemplateLoad_FLT::load(StringMap& map, InternalData& data) {
    if (!data.GetOr(idkey::LoadTemplate, true)) return;
    const std::string command = map["cmd"];
    if (command == "check") {
        map[":template:"] = kCheckRedirect;
        return;
    }
    if (command == "status") {
        map[":template:"] = "<#status#>";
        return;
    }
    if (command == "eos") return;

    const TemplateInformationRef source = data.Get<TemplateMap>(idkey::TemplateMap)[command];
    std::string text = source->content();
    const std::string contentType = source->contentType();
    if (contentType == ctype::kXml) RemoveLineBreaks(text);
    map[":template:"] = std::move(text);
    data.Set(idkey::ResponseContentType, ContentType{contentType});
}

void TemplateLoad_FLT::apply(StringMap& map, InternalData& data) {
    // Every failure is answered here: an error that left this stage would skip the response
    // stage, and the client would get no answer at all.
    try {
        try {
            load(map, data);
        } catch (const TemplateInformationAbsent&) {
            VERB_THROW(Error::CriticalErrorMessage, kTemplateAbsent, "", "");
        } catch (const TemplateNotFound& e) {
            // Answered as the critical error of the place that found the file missing.
            throw Error::CriticalErrorMessage(e.what(), "", "", e.file(), e.line());
        } catch (const Error::ErrorMessage&) {
            throw;
        } catch (const std::exception& e) {
            VERB_THROW(TLoadException,
                       std::string("TemplateLoader::apply() - internal error. ") + e.what());
        } catch (...) {
            VERB_THROW(TLoadException, "TemplateLoader::apply() - internal error.");
        }
    } catch (const Error::ErrorMessage& e) {
        report_error("*ERROR* %s file: %s line %d", e.what(), e.file().c_str(), e.line());
        e.Render(map, data);
    }
}
