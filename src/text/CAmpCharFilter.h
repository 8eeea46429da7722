#pragma once
// Named character references ("&eacute;"): kind 3, opens "&", closes ";", does not merge runs;
// switches ampf / html. The check text is the one character the name stands for; names are
// compared case-sensitively and a name outside the table is no reference.
#include <map>
#include <string>

#include "text/CFilter.h"

class CAmpCharFilter : public CFilter {
  public:
    CAmpCharFilter();
    bool Consume(const std::u16string& text, std::size_t& position, TextElement& element) override;

    // Name -> the code unit it reads as (251 names).
    static const std::map<std::u16string, char16_t>& EntityTable();
};
