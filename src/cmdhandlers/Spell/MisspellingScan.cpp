#include "cmdhandlers/Spell/MisspellingScan.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "utils/logging/Logger.h"

namespace {

// A whole non-negative decimal number that fits an int.
std::optional<int> DecimalOf(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || error != std::errc() || rest != end)
        return std::nullopt;
    return value;
}

// The fields of `text` separated by runs of `separator` (empty fields do not exist).
std::vector<std::string_view> Fields(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    size_t at = 0;
    while (at < text.size()) {
        at = text.find_first_not_of(separator, at);
        if (at == std::string_view::npos) break;
        size_t end = text.find(separator, at);
        if (end == std::string_view::npos) end = text.size();
        fields.push_back(text.substr(at, end - at));
        at = end;
    }
    return fields;
}

std::optional<MisspeltRange> RangeOf(std::string_view item, int checkLength) {
    const std::vector<std::string_view> numbers = Fields(item, ',');
    if (numbers.size() != 2) return std::nullopt;
    const std::optional<int> position = DecimalOf(numbers[0]);
    const std::optional<int> length = DecimalOf(numbers[1]);
    if (!position || !length || *length <= 0) return std::nullopt;
    // The range must end before the final blank, the last position a decoration can go to.
    if (*position >= checkLength || *length >= checkLength - *position) return std::nullopt;
    return MisspeltRange{*position, *length};
}

}  // namespace

std::vector<MisspeltRange> KeptMisspellings(std::string_view list, int checkLength, size_t limit,
                                            bool* more) {
    std::vector<MisspeltRange> kept;
    if (more) *more = false;
    int end = 0;
    // The items are read one by one: a list of a million items costs no list of them.
    for (size_t at = list.find_first_not_of(';'); at != std::string_view::npos;
         at = list.find_first_not_of(';', at)) {
        const size_t itemEnd = std::min(list.find(';', at), list.size());
        const std::optional<MisspeltRange> range =
            RangeOf(list.substr(at, itemEnd - at), checkLength);
        at = itemEnd;
        if (!range || range->position < end) continue;
        if (kept.size() == limit) {
            if (more) *more = true;
            break;
        }
        end = range->position + range->length;
        kept.push_back(*range);
    }
    return kept;
}

int ChangePosition(std::string_view text) { return DecimalOf(text).value_or(-1); }

int ProblemIndex(const std::vector<MisspeltRange>& ranges, int changePosition) {
    for (size_t i = 0; i < ranges.size(); ++i)
        if (ranges[i].position > changePosition) return static_cast<int>(i);
    return changePosition;
}

int ScanMisspellings(TextProcessor& processor, std::string_view list,
                     std::string_view changePositionText, size_t maxProblems) {
    const int checkLength = processor.Text().CheckLength();
    bool more = false;
    const std::vector<MisspeltRange> ranges =
        KeptMisspellings(list, checkLength, maxProblems, &more);
    if (more)
        GetLogger().Log(loglevel::Warning, 0,
                        "*WARNING* marked the first %zu misspellings only; the rest of the text "
                        "is left unmarked (max_problems)",
                        ranges.size());
    for (const MisspeltRange& range : ranges)
        processor.AddProblem(range.position, range.length, kSpellingProblemId);
    return ProblemIndex(ranges, ChangePosition(changePositionText));
}
