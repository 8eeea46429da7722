#include "ferrix/makeScriptTemplateMap.h"

#include <memory>

#include "ferrix/CachedSelectorTemplateMap.h"
#include "ferrix/ServiceFetch.h"
#include "kernel/ContentTypes.h"
#include "templates/DefaultedCachedTemplateFileInformation.h"

namespace ferrix {

const char kErrorStylesheet[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
    "<xsl:output method=\"xml\" encoding=\"utf-8\" "
    "doctype-public=\"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "doctype-system=\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\"/>\n"
    "<xsl:template match=\"error\">\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\">\n"
    "<head>\n"
    "<meta name=\"author\" content=\"<#product_website#>\"/>\n"
    "<meta name=\"copyright\" content=\"<#product_copyright#>\"/>\n"
    "<title>Verbarium: Default Error page</title>\n"
    "<style type=\"text/css\">\n"
    "body { background: #ffffff; color: #000000; font-family: Verdana; font-size: 12px; "
    "text-align: center; }\n"
    ".criticalError { color: #ff0000; }\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<div>\n"
    "<xsl:if test=\"critical = '1'\"><xsl:attribute name=\"class\">criticalError"
    "</xsl:attribute></xsl:if>\n"
    "<xsl:value-of select=\"message\"/>\n"
    "</div>\n"
    "</body>\n"
    "</html>\n"
    "</xsl:template>\n"
    "</xsl:stylesheet>\n";

namespace {

TemplateInformationRef CachedSelector(const std::string& selectorKey, const std::string& prefix,
                                      const std::string& suffix, const std::string& contentType,
                                      StringMap& map, InternalData& data) {
    return TemplateInformationRef::make<CompositeTemplateInformation>(
        map, data, selectorKey,
        std::make_shared<const CachedSelectorTemplateMap>(selectorKey, prefix, suffix,
                                                          contentType));
}

TemplateInformationRef Cached(const std::string& contentType, const std::string& fileName,
                              StringMap& map, InternalData& data) {
    return TemplateInformationRef::make<CachedTemplateFileInformation>(contentType, fileName, map,
                                                                       data, &ServiceFetch);
}

}  // namespace

TemplateInformationRef ErrorStylesheetSource(StringMap& map, InternalData& data) {
    return TemplateInformationRef::make<DefaultedCachedTemplateFileInformation>(
        ctype::kXsl, "error.xsl", map, data, &ServiceFetch, kErrorStylesheet);
}

TemplateMap makeScriptTemplateMap::operator()(StringMap& map, InternalData& data) const {
    TemplateMap variants;
    variants.set("kwirl", CachedSelector("plugin", "kwirl-", ".js", ctype::kJavaScript, map, data));
    variants.set("kwirl_core",
                 CachedSelector("name", "kwirl_core-", ".js", ctype::kJavaScript, map, data));
    variants.set("image", CachedSelector("img", "image-", ".gif", "image/gif", map, data));
    variants.set("kwirl_lang",
                 CachedSelector("slang", "kwirl_lang-", ".js", ctype::kJavaScript, map, data));
    variants.set("qdr_core", CachedSelector("name", "qdr_core-", ".html", ctype::kHtml, map, data));
    variants.set("qdr", CachedSelector("plugin", "qdr-", ".js", ctype::kJavaScript, map, data));
    variants.set("kwirl_styles", Cached("text/css; charset=UTF-8", "kwirl.css", map, data));
    variants.set("error.xsl", ErrorStylesheetSource(map, data));
    variants.set("kwirl_sp_init", Cached(ctype::kJavaScript, "kwirl_sp_init.js", map, data));
    return variants;
}

}  // namespace ferrix
