#include "text/KwrlErrorDecorator.h"

#include "text/CText.h"
#include "text/WordEncodings.h"

void KwrlErrorDecorator::Decorate(CText& text, int /*problemIndex*/, int /*problemId*/,
                                  std::u16string_view scriptWord,
                                  std::u16string_view /*identifierWord*/, int position,
                                  int length) {
    text.Decorate(position,
                  u"<span type=\"kwrl_word\" name=\"" + HtmlTextEscape(scriptWord) + u"\">",
                  position + length, u"</span>");
}
