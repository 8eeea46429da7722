#pragma once
// Colour codes ("#ff00aa "): kind 7, opens "#", closes with a blank (which the run includes),
// consecutive codes merge into one element; switches clrf / dscf. Every name character of the
// run must be an ASCII hexadecimal digit (a run without name characters passes). The element
// takes no part in the check stream.
#include "text/CFilter.h"

class ColorFilter : public CFilter {
  public:
    ColorFilter();
    bool Consume(const std::u16string& text, std::size_t& position, TextElement& element) override;
};
