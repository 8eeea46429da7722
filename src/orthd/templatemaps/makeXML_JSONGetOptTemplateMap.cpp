#include "orthd/templatemaps/makeXML_JSONGetOptTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap makeXML_JSONGetOptTemplateMap::operator()(StringMap& /*map*/,
                                                      InternalData& /*data*/) const {
    TemplateMap variants;
    variants.set(
        "", InlineSource(
                ctype::kXml,
                "<?xml version=\"1.0\" encoding=\"utf-8\"?><options><opt optdata=\"<#osp#>\" />"
                "<dict dname=\"<#udn#>\" /><sessionid sid=\"<#sessionid#>\" /></options>",
                false));
    variants.set(
        "json",
        InlineSource(ctype::kJavaScript,
                     "<#callback#><#left_per#>{\"options\": {\"opt\": "
                     "\"<#osp#>\",\"dict\":\"<#udn#>\",\"sid\":\"<#sessionid#>\"}}<#right_per#>",
                     false));
    return variants;
}

}  // namespace orthd
