#pragma once
// INI key "include_file" (orthd): loads a further INI file and sets the string-map entry of
// every pair it yields, replacing earlier values. Its values pass through no handler, are not
// listed in IniKeys and are not expanded; an "include_file" inside it is a plain value. A
// relative path is taken from the program's directory (":app_path:"), as the INI file itself is.
// Throws CIniParser::CIniParserException (" Can not open: <path>") when the file cannot be read;
// IniFileLoad_FLT turns that into its own failure.
#include "kernel/ServerSettingHandler.h"

class IncludeFile_SS : public ServerSettingHandler {
  public:
    explicit IncludeFile_SS(Program program) : ServerSettingHandler(program) {}

    void apply(StringMap& map, InternalData& data, const std::string& value) override;
    std::string name() const override { return "include_file"; }
};
