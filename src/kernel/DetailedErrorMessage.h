#pragma once
// An error answer that also points to a reference (URL and text), shown by the error page.
#include "kernel/ErrorMessage.h"

namespace Error {

class DetailedErrorMessage : public ErrorMessage {
  public:
    DetailedErrorMessage(std::string message, std::string refUrl, std::string refText,
                         std::string file, int line)
        : ErrorMessage(std::move(message), std::move(file), line),
          refUrl_(std::move(refUrl)),
          refText_(std::move(refText)) {}

    void Render(StringMap& map, InternalData& data) const override;

    const std::string& refUrl() const noexcept { return refUrl_; }
    const std::string& refText() const noexcept { return refText_; }

  private:
    std::string refUrl_;
    std::string refText_;
};

}  // namespace Error
