#pragma once
// The check-as-you-type decorator: each misspelt word becomes
// <span type="kwrl_word" name="word">word</span>. Rendered with decorations over the filtered
// view, as the dialog's: the editor puts the answer into its page, so the caller's markup comes
// back sanitised (no event handlers, no script).
#include "text/ErrorDecorator.h"

class KwrlErrorDecorator : public ErrorDecorator {
  public:
    void Decorate(CText& text, int problemIndex, int problemId, std::u16string_view scriptWord,
                  std::u16string_view identifierWord, int position, int length) override;
    std::u16string Markers() const override { return u"[_fvw_][_mkp_]"; }
};
