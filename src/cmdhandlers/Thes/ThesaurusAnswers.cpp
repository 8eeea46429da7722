#include "cmdhandlers/Thes/ThesaurusAnswers.h"

#include "utils/TextEscapes.h"

namespace {
constexpr std::string_view kLineBreaks = "\r\n";
}  // namespace

std::string FieldName(std::string_view category) {
    std::string name(category);
    for (char& c : name)
        if (c == ' ' || c == '-' || c == '.') c = '_';
    return name;
}

std::string ThesaurusFields(std::string_view answer) {
    std::string categories;
    std::string fields;
    size_t at = 0;
    while ((at = answer.find_first_not_of(kLineBreaks, at)) != std::string_view::npos) {
        size_t end = answer.find_first_of(kLineBreaks, at);
        if (end == std::string_view::npos) end = answer.size();
        const std::string_view line = answer.substr(at, end - at);
        at = end;
        const size_t colon = line.find(':');
        const std::string_view category = line.substr(0, colon);
        if (category.empty()) continue;
        const std::string_view words =
            colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
        if (!categories.empty()) categories += ",";
        categories += category;
        fields += "\n<input type=hidden name=\"" + HtmlEscape(FieldName(category)) + "\" value=\"" +
                  HtmlEscape(words) + "\">";
    }
    return "\n<input type=hidden name=cat_l value=\"" + HtmlEscape(categories) + "\">" + fields;
}
