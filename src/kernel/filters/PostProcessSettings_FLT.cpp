#include "kernel/filters/PostProcessSettings_FLT.h"

#include <cstdlib>
#include <vector>

#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

namespace {

constexpr char kInternalError[] = "IniFileLoader::apply() - internal error.";

std::optional<std::string> ProcessEnvironment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

}  // namespace

PostProcessSettings_FLT::PostProcessSettings_FLT() : environment_(&ProcessEnvironment) {}

void PostProcessSettings_FLT::expandIniValues(StringMap& map, InternalData& data) {
    const ReferenceExpander expander(map, environment_);
    for (const std::string& key : data.Get<std::vector<std::string>>(idkey::IniKeys)) {
        auto entry = map.find(key);
        if (entry == map.end()) continue;
        if (auto expanded = expander.Expand(entry->second)) {
            entry->second = std::move(*expanded);
        } else {
            GetLogger().Log(
                loglevel::Warning, 0,
                "*WARNING* PostProcessSettings: the value of \"%s\" refers to itself or "
                "grows too large; left unexpanded",
                key.c_str());
        }
    }
}

void PostProcessSettings_FLT::apply(StringMap& map, InternalData& data) {
    try {
        expandIniValues(map, data);
    } catch (const Filter::exception&) {
        throw;
    } catch (const std::exception& e) {
        VERB_THROW(PostProcessSettingsException, std::string(kInternalError) + " " + e.what());
    } catch (...) {
        VERB_THROW(PostProcessSettingsException, kInternalError);
    }
}
