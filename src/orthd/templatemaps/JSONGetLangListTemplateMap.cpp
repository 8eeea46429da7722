#include "orthd/templatemaps/JSONGetLangListTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap JSONGetLangListTemplateMap::operator()(StringMap& /*map*/,
                                                   InternalData& /*data*/) const {
    TemplateMap variants;
    variants.set("", InlineSource(ctype::kJavaScript,
                                  "<#callback#><#left_per#><#view#><#right_per#>", true));
    return variants;
}

}  // namespace orthd
