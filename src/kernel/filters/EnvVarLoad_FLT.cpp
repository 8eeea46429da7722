#include "kernel/filters/EnvVarLoad_FLT.h"

void EnvVarLoad_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
