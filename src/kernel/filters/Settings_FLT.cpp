#include "kernel/filters/Settings_FLT.h"

void Settings_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
