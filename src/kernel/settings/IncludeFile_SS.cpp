#include "kernel/settings/IncludeFile_SS.h"

#include "kernel/CIniParser.h"

void IncludeFile_SS::apply(StringMap& map, InternalData& /*data*/, const std::string& value) {
    const bool absolute = !value.empty() && value.front() == '/';
    const std::string path = absolute ? value : map[":app_path:"] + value;
    for (auto& [key, included] : CIniParser::LoadIniFile(path)) map[key] = std::move(included);
}
