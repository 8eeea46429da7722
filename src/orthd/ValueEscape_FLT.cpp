#include "orthd/ValueEscape_FLT.h"

namespace orthd {

void ValueEscape_FLT::apply(StringMap& /*map*/, InternalData& /*data*/) {}

}  // namespace orthd
