#pragma once
// The pop-up dialog's decorator: each misspelt word becomes a link that calls
// submit_bot(command, word, position, length, index, id, identifier); the link of the current
// problem carries " class=cerr". Rendered as the filtered view with decorations.
#include <string>

#include "text/ErrorDecorator.h"

class DefaultErrorDecorator : public ErrorDecorator {
  public:
    DefaultErrorDecorator(std::u16string command, int currentProblem);

    void Decorate(CText& text, int problemIndex, int problemId, std::u16string_view scriptWord,
                  std::u16string_view identifierWord, int position, int length) override;
    std::u16string Markers() const override { return u"[_fvw_][_mkp_]"; }

  private:
    std::u16string command_;
    int currentProblem_;
};
