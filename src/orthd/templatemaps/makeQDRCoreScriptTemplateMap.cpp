#include "orthd/templatemaps/makeQDRCoreScriptTemplateMap.h"

#include <utility>

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap makeQDRCoreScriptTemplateMap::operator()(StringMap& map, InternalData& data) const {
    static constexpr std::pair<const char*, const char*> kPages[] = {
        {"blank", "QDR/blank.html"},
        {"blankform", "QDR/blankform.html"},
        {"frm", "QDR/frameset.html"},
        {"show", "QDR/show.html"},
        {"initialize", "QDR/initialize.html"}};
    TemplateMap variants;
    for (const auto& [name, file] : kPages)
        variants.set(name, FileSource(ctype::kHtml, file, map, data, false));
    return variants;
}

}  // namespace orthd
