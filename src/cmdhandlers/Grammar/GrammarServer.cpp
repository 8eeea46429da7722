#include "cmdhandlers/Grammar/GrammarServer.h"

#include "utils/InternalDataKeys.h"

std::optional<EngineSession::Target> GrammarServer(StringMap& map, InternalData& data) {
    const std::string& setting = map["grammar_host"];
    std::optional<EngineSession::Target> chosen = EngineSession::Configured(map);
    if (!setting.empty()) chosen = EngineSession::FromSetting(setting);
    if (!chosen) return std::nullopt;
    const auto& language = data.Get<std::string>(idkey::SpellLang);
    return EngineSession::Redirected(data, ServiceKind::Grammar, language, std::move(*chosen));
}
