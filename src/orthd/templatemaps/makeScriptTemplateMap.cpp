#include "orthd/templatemaps/makeScriptTemplateMap.h"

#include "kernel/ContentTypes.h"
#include "orthd/templatemaps/TemplateSources.h"
#include "orthd/templatemaps/makeKWIRLClientScriptTemplateMap.h"
#include "orthd/templatemaps/makeKWIRLCoreScriptTemplateMap.h"
#include "orthd/templatemaps/makeKWIRLImagesTemplateMap.h"
#include "orthd/templatemaps/makeKWIRLLanguageScriptTemplateMap.h"
#include "orthd/templatemaps/makeQDRClientScriptTemplateMap.h"
#include "orthd/templatemaps/makeQDRCoreScriptTemplateMap.h"

namespace orthd {

TemplateMap makeScriptTemplateMap::operator()(StringMap& map, InternalData& data) const {
    TemplateMap variants;
    variants.set("kwirl", SelectorSource<makeKWIRLClientScriptTemplateMap>("plugin", map, data));
    variants.set("kwirl_core", SelectorSource<makeKWIRLCoreScriptTemplateMap>("name", map, data));
    variants.set("image", SelectorSource<makeKWIRLImagesTemplateMap>("img", map, data));
    variants.set("kwirl_styles",
                 FileSource(ctype::kCss, "KWIRL/files/styles/kwirl.css", map, data, false));
    variants.set("kwirl_lang",
                 SelectorSource<makeKWIRLLanguageScriptTemplateMap>("slang", map, data));
    variants.set("qdr", SelectorSource<makeQDRClientScriptTemplateMap>("plugin", map, data));
    variants.set("qdr_core", SelectorSource<makeQDRCoreScriptTemplateMap>("name", map, data));
    variants.set("error.xsl", FileSource(ctype::kXsl, "QDR/error.xsl", map, data, false));
    variants.set("kwirl_sp_init",
                 FileSource(ctype::kJavaScript, "QDR/kwirl_sp_init.js", map, data, false));
    return variants;
}

}  // namespace orthd
