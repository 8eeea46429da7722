#include "orthd/templatemaps/makeOptionsTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"

namespace orthd {

TemplateMap makeOptionsTemplateMap::operator()(StringMap& map, InternalData& data) const {
    TemplateMap variants;
    variants.set("", FileSource(ctype::kHtml, "sp_opt.html", map, data, true));
    variants.set("1", FileSource(ctype::kHtml, "kwirl_opt.html", map, data, true));
    return variants;
}

}  // namespace orthd
