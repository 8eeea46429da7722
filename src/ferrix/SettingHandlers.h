#pragma once
// The INI-key handlers of ferrix.
namespace ferrix {

// Creates ferrix's handlers on the first call and registers them under Program::Ferrix in
// ServerSettingHandler::Registered; later calls do nothing. Must run before IniFileLoad_FLT is
// constructed (BuildFilters calls it first).
void RegisterSettingHandlers();

}  // namespace ferrix
