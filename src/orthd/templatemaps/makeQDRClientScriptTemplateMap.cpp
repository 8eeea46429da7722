#include "orthd/templatemaps/makeQDRClientScriptTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/PluginScripts.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap makeQDRClientScriptTemplateMap::operator()(StringMap& map, InternalData& data) const {
    TemplateMap variants;
    variants.set("", FileSource(ctype::kJavaScript, "QDR/qdr_script.js", map, data, false));
    AddPluginScripts(variants, "QDR/", "qdr_*plugin.js", map, data);
    return variants;
}

}  // namespace orthd
