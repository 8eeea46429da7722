#pragma once
// Where the running program lives. Configuration sits next to the executable and logs under
// "../srv/logs/" from it.
#include <string>
#include <string_view>

// The directory of `exePath`, ending in '/'. A leading extended-length prefix "\\?\" is removed
// first; backslashes count as separators too.
std::string ModuleDirectoryOf(std::string_view exePath);

// The directory of the running executable (from /proc/self/exe), ending in '/'.
std::string ModuleDirectory();

// `moduleDir` + "../srv/logs/YYYY.MM.DD.HH.debug.log" in local time.
std::string DebugLogPath(const std::string& moduleDir);
