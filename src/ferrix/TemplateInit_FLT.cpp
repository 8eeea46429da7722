#include "ferrix/TemplateInit_FLT.h"

namespace ferrix {

void TemplateInit_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}

}  // namespace ferrix
