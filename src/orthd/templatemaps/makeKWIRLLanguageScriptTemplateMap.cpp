#include "orthd/templatemaps/makeKWIRLLanguageScriptTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"
#include "utils/PathSafety.h"

namespace orthd {

TemplateMap makeKWIRLLanguageScriptTemplateMap::operator()(StringMap& map,
                                                           InternalData& data) const {
    TemplateMap variants;
    const std::string language = map["slang"];
    if (IsSafePathComponent(language))
        variants.set(language, FileSource(ctype::kJavaScript, "KWIRL/lang/" + language + ".js", map,
                                          data, true));
    return variants;
}

}  // namespace orthd
