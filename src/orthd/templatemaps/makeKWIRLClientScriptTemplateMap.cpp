#include "orthd/templatemaps/makeKWIRLClientScriptTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/PluginScripts.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap makeKWIRLClientScriptTemplateMap::operator()(StringMap& map, InternalData& data) const {
    TemplateMap variants;
    variants.set("", FileSource(ctype::kJavaScript, "KWIRL/kwirl.js", map, data, false));
    AddPluginScripts(variants, "KWIRL/", "kwirl_*plugin.js", map, data);
    return variants;
}

}  // namespace orthd
