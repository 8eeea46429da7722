#include "cmdhandlers/Common/Default_CH.h"

#include "kernel/CommandRegistry.h"

namespace orthd {

VERB_REGISTER_COMMAND(Program::Orthd, "default", Default_CH);

void Default_CH::apply(StringMap& /*map*/, InternalData& /*data*/) {}

}  // namespace orthd
