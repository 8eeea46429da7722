#include "orthd/templatemaps/makeXML_JSONAPIVersionTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap makeXML_JSONAPIVersionTemplateMap::operator()(StringMap& /*map*/,
                                                          InternalData& /*data*/) const {
    const auto xml = InlineSource(
        ctype::kXml,
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><api_version><#api_version#></api_version>",
        false);
    TemplateMap variants;
    variants.set("", xml);
    variants.set("xml", xml);
    variants.set(
        "json",
        InlineSource(ctype::kJavaScript,
                     "<#callback#><#left_per#>{\"version\": \"<#api_version#>\"}<#right_per#>",
                     true));
    return variants;
}

}  // namespace orthd
