#pragma once
// INI key "lang_cookie" -> LangInCookie (bool, default true) (both programs).
#include "kernel/settings/BoolSetting_SS.h"
#include "utils/InternalDataKeys.h"

class SaveLangInCookie_SS : public BoolSetting_SS {
  public:
    explicit SaveLangInCookie_SS(Program program)
        : BoolSetting_SS(program, "lang_cookie", idkey::LangInCookie, true) {}
};
