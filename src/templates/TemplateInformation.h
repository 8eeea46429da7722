#pragma once
// A template source: where a command's answer template comes from and which content type the
// answer has. Sources are held through wrapper<TemplateInformation> in a TemplateMap.
#include <string>

class TemplateInformation {
  public:
    // The complete content-type text of the answer, e.g. "text/html; charset=UTF-8".
    virtual std::string contentType() const = 0;
    // The template text. May throw (file sources: TemplateNotFound when missing).
    virtual std::string content() const = 0;
    // Whether the interface-language texts must be loaded for this template.
    virtual bool needsIntText() const = 0;
    virtual ~TemplateInformation() = default;
};
