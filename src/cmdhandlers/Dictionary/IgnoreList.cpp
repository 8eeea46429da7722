#include "cmdhandlers/Dictionary/IgnoreList.h"

#include <charconv>
#include <optional>
#include <vector>

namespace {

std::optional<long long> Number(std::string_view text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || rest != end) return std::nullopt;
    return value;
}

std::vector<std::string_view> Entries(std::string_view list) {
    std::vector<std::string_view> entries;
    size_t at = 0;
    while (at <= list.size()) {
        size_t end = list.find(',', at);
        if (end == std::string_view::npos) end = list.size();
        if (end > at) entries.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return entries;
}

std::string Joined(const std::vector<std::string>& entries) {
    std::string out;
    for (const std::string& entry : entries) out += (out.empty() ? "" : ",") + entry;
    return out;
}

}  // namespace

std::string InsertNumber(std::string_view list, long long number) {
    std::vector<std::string> out;
    bool placed = false;
    for (std::string_view entry : Entries(list)) {
        const std::optional<long long> value = Number(entry);
        if (!placed && value && *value >= number) {
            placed = true;
            if (*value != number) out.push_back(std::to_string(number));
        }
        out.emplace_back(entry);
    }
    if (!placed) out.push_back(std::to_string(number));
    return Joined(out);
}

std::string ShiftPositions(std::string_view list, long long position, long long oldLength,
                           long long newLength) {
    std::vector<std::string> out;
    for (std::string_view entry : Entries(list)) {
        const std::optional<long long> value = Number(entry);
        if (!value) continue;
        if (*value <= position)
            out.push_back(std::to_string(*value));
        else if (*value >= position + oldLength)
            out.push_back(std::to_string(*value + newLength - oldLength));
    }
    return Joined(out);
}

std::string AfterCorrection(std::string_view list, long long position, long long oldLength,
                            long long newLength) {
    if (oldLength == newLength) return std::string(list);
    return InsertNumber(ShiftPositions(list, position, oldLength, newLength), position);
}
