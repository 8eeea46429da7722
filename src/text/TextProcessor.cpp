#include "text/TextProcessor.h"

#include "text/Utf16Conversion.h"
#include "text/WordEncodings.h"

TextProcessor::TextProcessor(std::string_view /*parseOptions*/, const FilteringParams& params)
    : text_(params) {}

void TextProcessor::SetText(std::string_view utf8) { text_.SetText(Utf8ToUtf16(utf8)); }

std::string TextProcessor::GetCheckText() const { return Utf16ToUtf8(text_.CheckText()); }

std::string TextProcessor::GetWord(int position, int length) const {
    return Utf16ToUtf8(text_.Word(position, length));
}

void TextProcessor::ReplaceRange(std::u16string_view text, int position, int length) {
    text_.ReplaceRange(text, position, length);
}

int TextProcessor::ReplaceRanges(std::u16string_view text, const std::vector<int>& positions,
                                 int length) {
    return text_.ReplaceRanges(text, positions, length);
}

std::string TextProcessor::GetText() const { return Utf16ToUtf8(text_.SourceText()); }

void TextProcessor::AddProblem(int position, int length, int id) {
    problems_.push_back({position, length, id});
}

std::string TextProcessor::MakeDialogCall(std::string_view command, int problemIndex) const {
    if (problemIndex < 0 || static_cast<std::size_t>(problemIndex) >= problems_.size())
        return "submit_bot('finish', '', 0, 0, 0, '', '');";
    const Problem& problem = problems_[static_cast<std::size_t>(problemIndex)];
    const std::u16string word = text_.Word(problem.position, problem.length);
    std::string call = "submit_bot('";
    call += command;
    call += "','" + Utf16ToUtf8(ScriptEscape(word)) + "',";
    call += std::to_string(problem.position) + "," + std::to_string(problem.length) + ",";
    call += std::to_string(problemIndex) + "," + std::to_string(problem.id) + ",'";
    // The identifier form keeps backslashes; escaped again it reaches the script unchanged.
    call += Utf16ToUtf8(ScriptEscape(IdentifierForm(word))) + "');";
    return call;
}
