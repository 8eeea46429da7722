#pragma once
// INI key "cache_path" -> CachePath (string), where the relay cache lives (ferrix).
#include "kernel/settings/StringSetting_SS.h"
#include "utils/InternalDataKeys.h"

class CachePath_SS : public StringSetting_SS {
  public:
    explicit CachePath_SS(Program program)
        : StringSetting_SS(program, "cache_path", idkey::CachePath) {}
};
