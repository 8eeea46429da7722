#include "cmdhandlers/Relay/Version_CH.h"

#include "kernel/CommandRegistry.h"
#include "kernel/ContentType.h"
#include "kernel/RequestDriver.h"
#include "utils/InternalDataKeys.h"

namespace ferrix {

VERB_REGISTER_COMMAND(Program::Ferrix, "ver", Version_CH);

namespace {

constexpr char kXmlVersion[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><info>\t<script><#:app_name:#></script>\t"
    "<platform>\t\t<#:app_platform:#>\t</platform>\t<version>\t\t<#:app__ver:#>\t</version>"
    "</info>";

std::string HtmlVersionPage() {
    return std::string(
               "<html><head><title>Version</title><style type=\"text/css\">"
               "body{font-family:Verdana,Helvetica;font-size:10px;background:#ffffff}"
               "td{font-family:Verdana,Helvetica;font-size:10px}</style></head><body>"
               "<table align=\"center\" cellpadding=\"3\"><tr><td colspan=\"2\">") +
           release::kProductName + ", " + release::kCopyright +
           "</td></tr>"
           "<tr><td>Program name:</td><td><#:app_name:#></td></tr>"
           "<tr><td>Program version:</td><td><#:app__ver:#> for <#:app_platform:#></td></tr>"
           "<tr><td colspan=\"2\"><#:specific:#></td></tr></table></body></html>";
}

}  // namespace

void Version_CH::apply(StringMap& map, InternalData& data) {
    data.Set(idkey::LoadTemplate, false);
    data.Set(idkey::ExpandTemplate, true);
    if (map["cmd"] == "ver") {
        map[":template:"] = HtmlVersionPage();
        return;
    }
    map[":template:"] = kXmlVersion;
    data.Set(idkey::ResponseContentType, ContentType{"text/xml"});
}

}  // namespace ferrix
