#pragma once
// The Flash client's decorator: "##word:index#" before and "##" after each misspelt word. Its
// markers claim HTML input, so the rendering is never converted for display; it is no HTML
// page, so text is written as it is.
#include "text/ErrorDecorator.h"

class FlashErrorDecorator : public ErrorDecorator {
  public:
    void Decorate(CText& text, int problemIndex, int problemId, std::u16string_view scriptWord,
                  std::u16string_view identifierWord, int position, int length) override;
    std::u16string Markers() const override { return u"[_mkp_][*htmf]"; }
    bool WritesHtml() const override { return false; }
};
