#include "ferrix/Response_FLT.h"

namespace ferrix {

void Response_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}

}  // namespace ferrix
