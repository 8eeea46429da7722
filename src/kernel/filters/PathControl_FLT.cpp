#include "kernel/filters/PathControl_FLT.h"

void PathControl_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
