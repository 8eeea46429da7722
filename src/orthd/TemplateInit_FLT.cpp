#include "orthd/TemplateInit_FLT.h"

namespace orthd {

void TemplateInit_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}

}  // namespace orthd
