#include "kernel/filters/IntTextLoad_FLT.h"

void IntTextLoad_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
