#include "text/FlashErrorDecorator.h"

#include <string>

#include "text/CText.h"

void FlashErrorDecorator::Decorate(CText& text, int problemIndex, int /*problemId*/,
                                   std::u16string_view scriptWord,
                                   std::u16string_view /*identifierWord*/, int position,
                                   int length) {
    const std::string index = std::to_string(problemIndex);
    std::u16string opening = u"##";
    opening += scriptWord;
    opening += u':';
    opening.append(index.begin(), index.end());
    opening += u'#';
    text.Decorate(position, std::move(opening), position + length, u"##");
}
