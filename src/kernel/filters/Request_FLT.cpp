#include "kernel/filters/Request_FLT.h"

void Request_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
