#include "kernel/ErrorMessage.h"

#include <map>

#include "kernel/ContentTypes.h"
#include "kernel/InternalDataKeys.h"

namespace Error {
namespace {

struct ErrorRow {
    std::string templateText;
    std::string contentType;
};

const char kXmlErrorDocument[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><?xml-stylesheet type=\"text/xsl\" "
    "href=\"<#ferrix_url#>?cmd=error_conversion\" ?><error><message><![CDATA[<#e_message#>]]></message>"
    "<critical><#e_is_critical#></critical><command><#e_command#></command><ref><text><![CDATA["
    "<#e_ref_text#>]]></text><url><#e_ref_url#></url></ref></error>";

// Keyed by content type followed by run mode (empty for the general rows).
const std::map<std::string, ErrorRow>& ErrorTemplateTable() {
    static const std::map<std::string, ErrorRow> table = {
        {std::string(ctype::kXml) + "web_service",
         {"<?xml version=\"1.0\" encoding=\"utf-8\"?><check_spelling><error><message><#e_message#>"
          "</message></error></check_spelling>",
          ctype::kXml}},
        {std::string(ctype::kJavaScript) + "web_service",
         {"{message: \"<#e_message#>\", command: \"<#e_command#>\"}", ctype::kJavaScript}},
        {ctype::kHtml, {kXmlErrorDocument, ctype::kXml}},
        {ctype::kXml, {kXmlErrorDocument, ctype::kXml}},
        {ctype::kJavaScript, {"alert(\"<#e_message_title#>: <#e_message#>\");", ctype::kJavaScript}},
        {ctype::kXsl, {"", ctype::kXsl}},
        {ctype::kCss, {"", ctype::kCss}},
    };
    return table;
}

}  // namespace

std::pair<std::string, std::string> ErrorMessage::FindErrorTemplate(const std::string& contentType) const {
    const auto& table = ErrorTemplateTable();
    auto it = table.find(contentType);
    if (it == table.end()) throw ErrorTemplateAbsent{};
    return {it->second.templateText, it->second.contentType};
}

void ErrorMessage::Render(StringMap& map, InternalData& data) const {
    map["e_command"] = map["cmd"];
    map["cmd"] = "error";
    map["e_message_title"] = data.Get<std::string>(idkey::ServerName);
    map["e_is_critical"] = "0";
    map["e_message"] = message_;

    const std::string commandType = ctype::kXml;
    const auto& table = ErrorTemplateTable();
    std::pair<std::string, std::string> chosen;
    if (auto it = table.find(commandType + map["run_mode"]); it != table.end())
        chosen = {it->second.templateText, it->second.contentType};
    else
        chosen = FindErrorTemplate(commandType);

    map[":template:"] = chosen.first;
    data.Set(idkey::ResponseContentType, ContentType{chosen.second});
    data.Set<std::string>(idkey::HttpCacheControl,
                          "no-store, no-cache, must-revalidate, post-check=0, pre-check=0");
    data.Insert(idkey::LoadTemplate, false);
    data.Set(idkey::ExpandTemplate, true);
}

}  // namespace Error
