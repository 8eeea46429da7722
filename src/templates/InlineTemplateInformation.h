#pragma once
// A template given as text in the program.
#include "templates/TemplateInformation.h"

class InlineTemplateInformation : public TemplateInformation {
  public:
    InlineTemplateInformation(std::string contentType, std::string text, bool needsIntText)
        : contentType_(std::move(contentType)),
          text_(std::move(text)),
          needsIntText_(needsIntText) {}

    std::string contentType() const override { return contentType_; }
    std::string content() const override { return text_; }
    bool needsIntText() const override { return needsIntText_; }

  private:
    std::string contentType_;
    std::string text_;
    bool needsIntText_;
};
