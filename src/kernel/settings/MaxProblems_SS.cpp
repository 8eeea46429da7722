#include "kernel/settings/MaxProblems_SS.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "utils/logging/Logger.h"

namespace {

std::optional<std::size_t> PositiveDecimal(std::string_view text) {
    std::size_t value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || rest != end || value == 0) return std::nullopt;
    return value;
}

}  // namespace

void MaxProblems_SS::setDefault(StringMap& map, InternalData& /*data*/) {
    map[kKey] = std::to_string(kDefault);
}

void MaxProblems_SS::apply(StringMap& map, InternalData& /*data*/, const std::string& value) {
    if (const auto limit = PositiveDecimal(value)) {
        map[kKey] = std::to_string(*limit);
        return;
    }
    GetLogger().Log(loglevel::Warning, 0,
                    "*WARNING* max_problems \"%s\" is not a positive number; using %zu",
                    value.c_str(), kDefault);
}

std::size_t MaxProblems_SS::Of(const StringMap& map) {
    const auto found = map.find(kKey);
    if (found == map.end()) return kDefault;
    return PositiveDecimal(found->second).value_or(kDefault);
}
