#pragma once
// Base of the text model's exceptions. Carries no data: the operation that raised it says
// what went wrong.
#include <exception>

class ETextExeptionBase : public std::exception {
  public:
    const char* what() const noexcept override { return "text model error"; }
};
