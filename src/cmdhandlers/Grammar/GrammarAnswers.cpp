#include "cmdhandlers/Grammar/GrammarAnswers.h"

#include <optional>

#include "utils/TextEscapes.h"

namespace {

constexpr std::string_view kVariantSeparator = " -OR- ";

// A whole non-negative decimal number that fits an int.
std::optional<int> Decimal(std::string_view text) {
    const int value = ChangePosition(text);  // -1 for anything else
    return value < 0 ? std::nullopt : std::optional<int>(value);
}

// The non-empty fields of `text` between `separator`s.
std::vector<std::string_view> Items(std::string_view text, char separator) {
    std::vector<std::string_view> items;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find(separator, at);
        if (end == std::string_view::npos) end = text.size();
        if (end > at) items.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return items;
}

std::optional<MisspeltRange> RangeOf(std::string_view item, int checkLength) {
    const std::vector<std::string_view> numbers = Items(item, ',');
    if (numbers.size() != 2) return std::nullopt;
    const std::optional<int> position = Decimal(numbers[0]);
    const std::optional<int> length = Decimal(numbers[1]);
    if (!position || !length || *length <= 0) return std::nullopt;
    if (*position >= checkLength || *length >= checkLength - *position) return std::nullopt;
    return MisspeltRange{*position, *length};
}

std::vector<std::string_view> Variants(std::string_view variants) {
    std::vector<std::string_view> out;
    size_t at = 0;
    for (size_t end; (end = variants.find(kVariantSeparator, at)) != std::string_view::npos;
         at = end + kVariantSeparator.size())
        out.push_back(variants.substr(at, end - at));
    out.push_back(variants.substr(at));
    return out;
}

}  // namespace

std::vector<GrammarRange> GrammarRanges(std::string_view ranges, std::string_view numbers,
                                        int checkLength) {
    const std::vector<std::string_view> items = Items(ranges, ';');
    const std::vector<std::string_view> problemNumbers = Items(numbers, ',');
    std::vector<GrammarRange> out;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::optional<MisspeltRange> range = RangeOf(items[i], checkLength);
        if (!range) continue;
        const std::optional<int> number =
            i < problemNumbers.size() ? Decimal(problemNumbers[i]) : std::nullopt;
        out.push_back({*range, number.value_or(0)});
    }
    return out;
}

std::string SuggramOutput(std::string_view explanation, std::string_view variants) {
    std::string out(explanation);
    if (variants.empty()) return out;
    const std::vector<std::string_view> choices = Variants(variants);
    out +=
        "<table  width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"2\" "
        "class=gramsugtbl>\n";
    for (size_t i = 0; i < choices.size(); ++i) {
        const std::string escaped = HtmlEscape(choices[i]);
        out += "<tr  class=gramsugitem><td width=10%><input type=\"radio\" name=\"vnts\" value=\"" +
               escaped +
               "\" onclick=\"set_new_word(this)\" ondblclick=\"javascript:submit_mid('gr_ch')\"";
        if (i == 0) out += " CHECKED";
        out += "></td><td width=90%>" + escaped + "</td></tr>\n";
    }
    out += "</table>\n";
    out += "<script language=\"JavaScript\">";
    out += "document.forms[0].new_word.value =\"" + ScriptStringEscape(choices.front()) +
           "\";</script>\n";
    return out;
}
