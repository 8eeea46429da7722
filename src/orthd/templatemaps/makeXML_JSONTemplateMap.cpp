#include "orthd/templatemaps/makeXML_JSONTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap makeXML_JSONTemplateMap::operator()(StringMap& /*map*/, InternalData& /*data*/) const {
    TemplateMap variants;
    variants.set("", InlineSource(ctype::kXml, kXmlViewFrame, false));
    variants.set("json", InlineSource(ctype::kJavaScript,
                                      "<#callback#><#left_per#><#view#><#right_per#>", true));
    return variants;
}

}  // namespace orthd
