#include "orthd/PreProcess_FLT.h"

namespace orthd {

void PreProcess_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}

}  // namespace orthd
