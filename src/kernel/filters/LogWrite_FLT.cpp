#include "kernel/filters/LogWrite_FLT.h"

void LogWrite_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
