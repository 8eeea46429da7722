#include "text/CUbbTagFilter.h"

namespace {

// Longest name in the set ("EMAIL", "QUOTE").
constexpr std::size_t kMaxUbbNameLength = 5;

}  // namespace

const std::set<std::u16string>& CUbbTagFilter::TagSet() {
    static const std::set<std::u16string> names = {u"URL",  u"EMAIL", u"B",     u"I",
                                                   u"LIST", u"IMG",   u"QUOTE", u"CODE"};
    return names;
}

CUbbTagFilter::CUbbTagFilter()
    : CFilter(ElementKind::kUbbTag, u'[', u']', true, u"ubtf", u"ubbf") {}

bool CUbbTagFilter::Consume(const std::u16string& text, std::size_t& position,
                            TextElement& element) {
    const std::u16string_view run = CollectRun(text, position);
    if (run.empty() || !TagSet().contains(RunName(run, kMaxUbbNameLength))) return false;
    element.kind = ElementKind::kUbbTag;
    element.source += run;
    element.check.clear();
    element.checkLength = -1;
    position += run.size() - 1;
    return true;
}
