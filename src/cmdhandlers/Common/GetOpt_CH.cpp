#include "cmdhandlers/Common/GetOpt_CH.h"

#include "kernel/CallbackCheck.h"
#include "kernel/CommandRegistry.h"

namespace orthd {

VERB_REGISTER_COMMAND(Program::Orthd, "get_opt", GetOpt_CH);

void GetOpt_CH::apply(StringMap& map, InternalData& /*data*/) {
    RequireValidCallback(map["callback"]);
}

}  // namespace orthd
