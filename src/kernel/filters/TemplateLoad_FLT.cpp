#include "kernel/filters/TemplateLoad_FLT.h"

void TemplateLoad_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}
