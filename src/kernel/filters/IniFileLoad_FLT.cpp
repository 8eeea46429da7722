#include "kernel/filters/IniFileLoad_FLT.h"

void IniFileLoad_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
