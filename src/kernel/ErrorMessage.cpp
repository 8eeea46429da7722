#include "kernel/ErrorMessage.h"

#include <map>
#include <optional>

#include "kernel/ApiPath.h"
#include "kernel/CIniParser.h"
#include "kernel/ContentTypes.h"
#include "kernel/CorsHeaders.h"
#include "kernel/filters/Request_FLT.h"
#include "templates/TemplateMap.h"
#include "templates/TemplateRendering.h"
#include "utils/InternalDataKeys.h"
#include "utils/TextEscapes.h"

namespace Error {
namespace {

struct ErrorRow {
    std::string templateText;
    std::string contentType;
};

const char kXmlErrorDocument[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><?xml-stylesheet type=\"text/xsl\" "
    "href=\"<#ferrix_url#>?cmd=error_conversion\" "
    "?><error><message><![CDATA[<#e_message#>]]></message>"
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
         {"{\"message\": \"<#e_message#>\", \"command\": \"<#e_command#>\"}", ctype::kJavaScript}},
        {ctype::kHtml, {kXmlErrorDocument, ctype::kXml}},
        {ctype::kXml, {kXmlErrorDocument, ctype::kXml}},
        {ctype::kJavaScript,
         {"alert(\"<#e_message_title#>: <#e_message#>\");", ctype::kJavaScript}},
        {ctype::kXsl, {"", ctype::kXsl}},
        {ctype::kCss, {"", ctype::kCss}},
    };
    return table;
}

constexpr char kNoCache[] = "no-store, no-cache, must-revalidate, post-check=0, pre-check=0";

// Messages may name string-map values ("<#product_website#>"). A message that is not a valid
// template is used as it is.
std::string ExpandMessage(const std::string& message, StringMap& map) {
    try {
        return ExpandPlaceholders(message, map);
    } catch (const BytePageTemplate::exception&) {
        return message;
    }
}

// The content type of `command`'s normal answer, when its template source can tell one.
std::optional<std::string> CommandContentType(const std::string& command, InternalData& data) {
    try {
        return data.Get<TemplateMap>(idkey::TemplateMap)[command]->contentType();
    } catch (...) {
        return std::nullopt;
    }
}

// The script rows put these values inside double-quoted string literals.
void EscapeForScript(StringMap& map) {
    for (const char* key : {"e_message", "e_message_title", "e_command"})
        map[key] = JsonStringEscape(map[key]);
}

// The answer of last resort: status 500 and the message as plain text, written as it is.
void RenderPlainText(StringMap& map, InternalData& data) {
    map[":template:"] = map["e_message"];
    data.Set<std::string>(idkey::HttpStatus, "500");
    data.Set(idkey::ResponseContentType, ContentType{ctype::kPlainText});
    data.Set<std::string>(idkey::HttpCacheControl, kNoCache);
    data.Set(idkey::LoadTemplate, false);
    data.Set(idkey::ExpandTemplate, false);
}

// The JSON API answers its failures as plain text with an HTTP status, never 200: the status
// the command chose, or 413 for a refused body, else 400.
// The INI file is read after the request: a request refused before (a body over the limit, text
// that is not UTF-8) reads the list of origins itself, so that its page can read the failure.
void LoadCorsList(StringMap& map, InternalData& data) {
    if (data.Find(idkey::IniKeys)) return;
    try {
        const CIniParser::Entries entries =
            CIniParser::LoadIniFile(map[":app_path:"] + map[":ini_name:"]);
        if (const auto found = entries.find(kCorsAllowOriginsKey); found != entries.end())
            map[kCorsAllowOriginsKey] = found->second;
    } catch (const std::exception&) {
        // No file, no list: the answer goes without the headers.
    }
}

void RenderApiError(const std::string& message, StringMap& map, InternalData& data) {
    RenderPlainText(map, data);
    LoadCorsList(map, data);
    AddCorsHeaders(map, data);
    map[":template:"] = message;
    std::string status = data.GetOr<std::string>(idkey::ApiStatus, "");
    if (status.empty())
        status = message == Request_FLT::kBodyTooLargeMessage ? "413 Payload Too Large"
                                                              : "400 Bad Request";
    data.Set<std::string>(idkey::HttpStatus, status);
}

}  // namespace

std::pair<std::string, std::string> ErrorMessage::FindErrorTemplate(
    const std::string& contentType) const {
    const auto& table = ErrorTemplateTable();
    auto it = table.find(contentType);
    if (it == table.end()) throw ErrorTemplateAbsent{};
    return {it->second.templateText, it->second.contentType};
}

void ErrorMessage::Render(StringMap& map, InternalData& data) const {
    if (IsApiCommand(map["cmd"])) {
        RenderApiError(message_, map, data);
        return;
    }
    map["e_command"] = map["cmd"];
    map["cmd"] = "error";
    map["e_message_title"] = data.GetOr<std::string>(idkey::ServerName, "");
    map["e_is_critical"] = "0";
    map["e_message"] = ExpandMessage(message_, map);

    std::optional<std::string> commandType = CommandContentType(map["e_command"], data);
    if (!commandType && map["run_mode"] == "web_service")
        commandType = CommandContentType("check_spelling", data);
    const std::string answerType = commandType.value_or(ctype::kXml);

    std::pair<std::string, std::string> chosen;
    const auto& table = ErrorTemplateTable();
    if (auto it = table.find(answerType + map["run_mode"]); it != table.end()) {
        chosen = {it->second.templateText, it->second.contentType};
    } else {
        try {
            chosen = FindErrorTemplate(answerType);
        } catch (const ErrorTemplateAbsent&) {
            RenderPlainText(map, data);
            return;
        }
    }
    if (chosen.second == ctype::kJavaScript) EscapeForScript(map);

    map[":template:"] = chosen.first;
    data.Set(idkey::ResponseContentType, ContentType{chosen.second});
    data.Set<std::string>(idkey::HttpCacheControl, kNoCache);
    data.Set(idkey::LoadTemplate, false);
    data.Set(idkey::ExpandTemplate, true);
}

}  // namespace Error
