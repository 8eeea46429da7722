#pragma once
// INI key "use_ferrix_protocol" -> UseFerrixProtocol (bool, default true) (orthd).
#include "kernel/settings/BoolSetting_SS.h"
#include "utils/InternalDataKeys.h"

class FerrixProtocol_SS : public BoolSetting_SS {
  public:
    explicit FerrixProtocol_SS(Program program)
        : BoolSetting_SS(program, "use_ferrix_protocol", idkey::UseFerrixProtocol, true) {}
};
