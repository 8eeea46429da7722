#pragma once
// Forum tags ("[B]", "[/QUOTE]"): kind 4, opens "[", closes "]", consecutive tags merge into
// one element; switches ubtf / ubbf. Names are compared case-sensitively with the forum tag
// set; the element takes no part in the check stream (check length -1).
#include <set>
#include <string>

#include "text/CFilter.h"

class CUbbTagFilter : public CFilter {
  public:
    CUbbTagFilter();
    bool Consume(const std::u16string& text, std::size_t& position, TextElement& element) override;

    static const std::set<std::u16string>& TagSet();
};
