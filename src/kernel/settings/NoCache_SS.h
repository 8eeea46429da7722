#pragma once
// INI key "no_cache" -> NoCache (bool, default false): the relay bypasses its cache (ferrix).
#include "kernel/settings/BoolSetting_SS.h"
#include "utils/InternalDataKeys.h"

class NoCache_SS : public BoolSetting_SS {
  public:
    explicit NoCache_SS(Program program)
        : BoolSetting_SS(program, "no_cache", idkey::NoCache, false) {}
};
