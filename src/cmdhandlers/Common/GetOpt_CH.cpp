#include "cmdhandlers/Common/GetOpt_CH.h"

#include "kernel/CommandRegistry.h"
#include "utils/JsonpCallback.h"

namespace orthd {

VERB_REGISTER_COMMAND(Program::Orthd, "get_opt", GetOpt_CH);

void GetOpt_CH::apply(StringMap& map, InternalData& /*data*/) {
    const std::string& callback = map["callback"];
    if (!callback.empty() && !IsValidJsonpCallback(callback))
        VERB_THROW(CommandHandler::exception, kInvalidJsonpCallback);
}

}  // namespace orthd
