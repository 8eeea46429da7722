#include "text/ColorFilter.h"

namespace {

bool IsHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

}  // namespace

ColorFilter::ColorFilter() : CFilter(ElementKind::kColor, u'#', u' ', true, u"clrf", u"dscf") {}

bool ColorFilter::Consume(const std::u16string& text, std::size_t& position, TextElement& element) {
    const std::u16string_view run = CollectRun(text, position);
    if (run.empty()) return false;
    for (char16_t c : run)
        if (IsNameChar(c) && !IsHexDigit(c)) return false;
    element.kind = ElementKind::kColor;
    element.source += run;
    element.check.clear();
    element.checkLength = -1;
    position += run.size() - 1;
    return true;
}
