#pragma once
// A file template that cannot be read: neither template folder holds it, or its name is not a
// safe relative name. Carries the message, module and line of the place that raised it, which
// the template-loading stage keeps when it answers the request with a critical error.
#include <string>
#include <utility>

#include "utils/ErrorBase.h"

class TemplateNotFound : public ErrorBase {
  public:
    TemplateNotFound(std::string message, std::string file, int line)
        : ErrorBase(std::move(file), line), message_(std::move(message)) {}

    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};
