#include "templates/TemplateRendering.h"

std::string RenderTemplate(const std::string& text, MetaHandlerMap& handlers, StringMap& map) {
    const BytePageTemplate page(text, kPlaceholderOpen, kPlaceholderClose);
    std::string out;
    page.render(out, handlers, map);
    return out;
}

std::string ExpandPlaceholders(const std::string& text, StringMap& map) {
    MetaHandlerMap handlers;
    return RenderTemplate(text, handlers, map);
}
