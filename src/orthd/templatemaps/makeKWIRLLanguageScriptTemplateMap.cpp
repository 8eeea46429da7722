#include "orthd/templatemaps/makeKWIRLLanguageScriptTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"
#include "utils/PathSafety.h"

namespace orthd {

TemplateMap makeKWIRLLanguageScriptTemplateMap::operator()(StringMap& map,
                                                           InternalData& data) const {
    TemplateMap variants;
    const std::string language = map["slang"];
    // An empty language names no file ("KWIRL/lang/.js" is not shipped): the answer is then the
    // script error "Template not found", like any language without a file.
    if (language.empty() || IsSafePathComponent(language))
        variants.set(language, FileSource(ctype::kJavaScript, "KWIRL/lang/" + language + ".js", map,
                                          data, true));
    return variants;
}

}  // namespace orthd
