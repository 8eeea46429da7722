#include "orthd/templatemaps/makeKWIRLCoreScriptTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap makeKWIRLCoreScriptTemplateMap::operator()(StringMap& map, InternalData& data) const {
    TemplateMap variants;
    for (const char* name : {"request", "func", "ie", "moz"})
        variants.set(
            name, FileSource(ctype::kJavaScript, std::string("KWIRL/files/kwirl_") + name + ".js",
                             map, data, false));
    return variants;
}

}  // namespace orthd
