#include "orthd/Response_FLT.h"

namespace orthd {

void Response_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}

}  // namespace orthd
