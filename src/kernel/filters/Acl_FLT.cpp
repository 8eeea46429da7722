#include "kernel/filters/Acl_FLT.h"

void Acl_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
