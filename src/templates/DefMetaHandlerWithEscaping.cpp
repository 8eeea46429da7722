#include "templates/DefMetaHandlerWithEscaping.h"

#include "utils/TextEscapes.h"

std::string DefMetaHandlerWithEscaping::render(const Arguments& args, StringMap& map) {
    if (args.empty()) return {};
    std::string& value = map[args.front()];
    value = ParenthesisEscape(HtmlEscape(value));
    return value;
}
