#include "text/DefaultErrorDecorator.h"

#include <utility>

#include "text/CText.h"
#include "text/WordEncodings.h"

namespace {

std::u16string Decimal(int value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

}  // namespace

DefaultErrorDecorator::DefaultErrorDecorator(std::u16string command, int currentProblem)
    : command_(std::move(command)), currentProblem_(currentProblem) {}

void DefaultErrorDecorator::Decorate(CText& text, int problemIndex, int problemId,
                                     std::u16string_view scriptWord,
                                     std::u16string_view identifierWord, int position, int length) {
    // The script literals sit in a double-quoted attribute: the browser decodes references
    // there before the script runs, so '&', '<' and '>' are written as references.
    std::u16string opening = u"<a name='sg_" + Decimal(problemIndex) + u"' ";
    opening += u"href=\"javascript:void(0);\" onclick=\"submit_bot('" + command_ + u"', '";
    opening +=
        HtmlTextEscape(scriptWord) + u"', " + Decimal(position) + u", " + Decimal(length) + u", ";
    opening += Decimal(problemIndex) + u", " + Decimal(problemId) + u", '";
    opening += HtmlTextEscape(ScriptEscape(identifierWord)) + u"');\"";
    if (problemIndex == currentProblem_) opening += u" class=cerr";
    opening += u">";
    text.Decorate(position, std::move(opening), position + length, u"</a>");
}
