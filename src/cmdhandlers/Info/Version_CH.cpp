#include "cmdhandlers/Info/Version_CH.h"

#include "cmdhandlers/Info/CommandFailure.h"
#include "kernel/CommandRegistry.h"
#include "kernel/ContentType.h"
#include "utils/InternalDataKeys.h"

VERB_REGISTER_COMMAND(Program::Orthd, "ver", Version_CH);
VERB_REGISTER_COMMAND(Program::Orthd, "xver", Version_CH);

namespace {

constexpr char kInternalError[] = "Version_CH::apply() - internal error.";

constexpr char kVersionPage[] =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title><#:app_name:#> version</title>"
    "</head>\n<body><h1><#:app_name:#></h1>\n<p>Version <#:app__ver:#> (<#:app_platform:#>)</p>\n"
    "<p><#:specific:#></p>\n<p><#product_copyright#> <a href=\"<#product_website#>\">"
    "<#product_website#></a></p>\n</body></html>\n";

constexpr char kVersionDocument[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><info>\t<script><#:app_name:#></script>\t"
    "<platform>\t\t<#:app_platform:#>\t</platform>\t<version>\t\t<#:app__ver:#>\t</version>"
    "</info>";

}  // namespace

void Version_CH::apply(StringMap& map, InternalData& data) {
    info::RunReported({"Version_CH", kInternalError, __FILE__, __LINE__}, [&] {
        data.Set(idkey::LoadTemplate, false);
        if (map["cmd"] == "xver") {
            map[":template:"] = kVersionDocument;
            data.Set(idkey::ResponseContentType, ContentType{"text/xml"});
        } else {
            map[":template:"] = kVersionPage;
        }
    });
}
