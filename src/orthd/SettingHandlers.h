#pragma once
// The INI-key and "settings"-item handlers of orthd.
namespace orthd {

// Creates orthd's handlers on the first call and registers them under Program::Orthd in
// ServerSettingHandler::Registered / SettingHandler::Registered; later calls do nothing. Must
// run before IniFileLoad_FLT and Settings_FLT are constructed (BuildFilters calls it first).
void RegisterSettingHandlers();

}  // namespace orthd
