#include "cmdhandlers/Relay/Default_CH.h"

#include "kernel/CommandRegistry.h"

namespace ferrix {

VERB_REGISTER_COMMAND(Program::Ferrix, "default", Default_CH);

void Default_CH::apply(StringMap& /*map*/, InternalData& /*data*/) {}

}  // namespace ferrix
