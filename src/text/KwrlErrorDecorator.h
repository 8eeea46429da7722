#pragma once
// The check-as-you-type decorator: each misspelt word becomes
// <span type="kwrl_word" name="word">word</span>. Rendered with decorations, not filtered.
#include "text/ErrorDecorator.h"

class KwrlErrorDecorator : public ErrorDecorator {
  public:
    void Decorate(CText& text, int problemIndex, int problemId, std::u16string_view scriptWord,
                  std::u16string_view identifierWord, int position, int length) override;
    std::u16string Markers() const override { return u"[_mkp_]"; }
};
