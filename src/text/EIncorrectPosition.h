#pragma once
// Raised when a check-stream position (or the end of a range) lies in no element of the text.
#include "text/ETextExeptionBase.h"

class EIncorrectPosition : public ETextExeptionBase {
  public:
    const char* what() const noexcept override { return "position outside the check stream"; }
};
