#include "cmdhandlers/Dictionary/IgnoreList.h"

#include <algorithm>
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
    return ShiftPositions(list, std::vector<long long>{position}, oldLength, newLength);
}

std::string AfterCorrection(std::string_view list, long long position, long long oldLength,
                            long long newLength) {
    return AfterCorrections(list, std::vector<long long>{position}, oldLength, newLength);
}

std::string ShiftPositions(std::string_view list, const std::vector<long long>& positions,
                           long long oldLength, long long newLength) {
    std::vector<std::string> out;
    for (std::string_view entry : Entries(list)) {
        const std::optional<long long> value = Number(entry);
        if (!value) continue;
        // The ranges that start before the entry: it lies inside the last of them, or after
        // them all.
        const auto before = static_cast<long long>(
            std::lower_bound(positions.begin(), positions.end(), *value) - positions.begin());
        if (before > 0 && *value < positions[static_cast<size_t>(before - 1)] + oldLength) continue;
        out.push_back(std::to_string(*value + before * (newLength - oldLength)));
    }
    return Joined(out);
}

std::string AfterCorrections(std::string_view list, const std::vector<long long>& positions,
                             long long oldLength, long long newLength) {
    if (oldLength == newLength || positions.empty()) return std::string(list);
    const std::string shifted = ShiftPositions(list, positions, oldLength, newLength);
    // Each corrected word's new position, inserted as InsertNumber would, in one merge.
    std::vector<std::string> out;
    size_t next = 0;
    const auto corrected = [&](size_t n) {
        return positions[n] + static_cast<long long>(n) * (newLength - oldLength);
    };
    for (std::string_view entry : Entries(shifted)) {
        const long long value = *Number(entry);
        for (; next < positions.size() && corrected(next) <= value; ++next)
            if (corrected(next) < value) out.push_back(std::to_string(corrected(next)));
        out.emplace_back(entry);
    }
    for (; next < positions.size(); ++next) out.push_back(std::to_string(corrected(next)));
    return Joined(out);
}
