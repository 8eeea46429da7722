// The settings rules on the pairs of an arbitrary INI text: reference expansion must end within
// its limits whatever the values refer to, and the redirect, list and "settings" parsers must
// accept anything without storing a port 0 or an empty host.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "kernel/CIniParser.h"
#include "kernel/ServerRedirectInfo.h"
#include "kernel/filters/Settings_FLT.h"
#include "kernel/settings/ReferenceExpander.h"
#include "kernel/settings/SettingValues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    StringMap map;
    for (const auto& [key, value] : CIniParser::ParseIniText(text)) map[key] = value;

    const ReferenceExpander expander(map,
                                     [](const std::string& name) -> std::optional<std::string> {
                                         if (name == "ENV") return "<.ENV.>";
                                         return std::nullopt;
                                     });
    ServerRedirectInfo redirects;
    for (const auto& [key, value] : map) {
        const auto expanded = expander.Expand(value);
        if (expanded && expanded->size() > ReferenceExpander::kMaxExpandedBytes) std::abort();

        redirects.ParseInto(ServiceKind::Spell, value);
        settings::ParseList(value);
        Settings_FLT::ParseItems(value);
        for (const auto& name : Settings_FLT::ParseItems(key)) {
            const auto target = redirects.Find(ServiceKind::Spell, name.first);
            if (target && (target->host.empty() || target->port == 0)) std::abort();
        }
    }
    return 0;
}
