#pragma once
// Numeric character references ("&#233;", "&#xE9;"): kind 5, opens "&", closes ";", does not
// merge runs; switches ccdf / html. The value is read from the leading decimal digits of the
// run's name, or from the hexadecimal digits of a run that is exactly "&#x" digits ";"; 0 and
// values above U+10FFFF are no reference.
// The check text is the character: one code unit, or a surrogate pair above U+FFFF.
#include "text/CFilter.h"

class CCodeCharFilter : public CFilter {
  public:
    CCodeCharFilter();
    bool Consume(const std::u16string& text, std::size_t& position, TextElement& element) override;
};
