#include "text/DefaultErrorDecorator.h"

#include <utility>

#include "text/CText.h"
#include "text/WordEncodings.h"

namespace {

void AppendDecimal(std::u16string& out, int value) {
    const std::string digits = std::to_string(value);
    out.append(digits.begin(), digits.end());
}

}  // namespace

DefaultErrorDecorator::DefaultErrorDecorator(std::u16string command, int currentProblem)
    : command_(std::move(command)), currentProblem_(currentProblem) {}

void DefaultErrorDecorator::Decorate(CText& text, int problemIndex, int problemId,
                                     std::u16string_view scriptWord,
                                     std::u16string_view identifierWord, int position, int length) {
    // The script literals sit in a double-quoted attribute: the browser decodes references
    // there before the script runs, so '&', '<' and '>' are written as references.
    constexpr std::size_t kFixedUnits = 128;  // the link's own text and numbers
    std::u16string opening;
    opening.reserve(kFixedUnits + command_.size() + scriptWord.size() + identifierWord.size() * 4);
    opening += u"<a name='sg_";
    AppendDecimal(opening, problemIndex);
    opening += u"' href=\"javascript:void(0);\" onclick=\"submit_bot('";
    opening += command_;
    opening += u"', '";
    AppendHtmlTextEscape(opening, scriptWord);
    opening += u"', ";
    AppendDecimal(opening, position);
    opening += u", ";
    AppendDecimal(opening, length);
    opening += u", ";
    AppendDecimal(opening, problemIndex);
    opening += u", ";
    AppendDecimal(opening, problemId);
    opening += u", '";
    AppendHtmlTextEscape(opening, ScriptEscape(identifierWord));
    opening += u"');\"";
    if (problemIndex == currentProblem_) opening += u" class=cerr";
    opening += u">";
    text.Decorate(position, std::move(opening), position + length, u"</a>");
}
