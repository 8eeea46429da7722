#include "kernel/filters/SessionCount_FLT.h"

void SessionCount_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
