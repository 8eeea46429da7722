#include "kernel/filters/PostProcessSettings_FLT.h"

void PostProcessSettings_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
