#include "orthd/templatemaps/makeXML_JSONCheckSpellingTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap makeXML_JSONCheckSpellingTemplateMap::operator()(StringMap& /*map*/,
                                                             InternalData& /*data*/) const {
    const auto xml =
        InlineSource(ctype::kXml,
                     "<?xml version=\"1.0\" "
                     "encoding=\"utf-8\"?><check_spelling><#check_spelling_xml#></check_spelling>",
                     false);
    TemplateMap variants;
    variants.set("", xml);
    variants.set("xml", xml);
    variants.set(
        "json", InlineSource(ctype::kJavaScript,
                             "<#callback#><#left_per#><#check_spelling_json#><#right_per#>", true));
    return variants;
}

}  // namespace orthd
