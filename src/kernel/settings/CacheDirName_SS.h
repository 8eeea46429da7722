#pragma once
// INI key "cache_dir_name" -> CacheDirName (string), the relay cache folder name (ferrix).
#include "kernel/settings/StringSetting_SS.h"
#include "utils/InternalDataKeys.h"

class CacheDirName_SS : public StringSetting_SS {
  public:
    explicit CacheDirName_SS(Program program)
        : StringSetting_SS(program, "cache_dir_name", idkey::CacheDirName) {}
};
