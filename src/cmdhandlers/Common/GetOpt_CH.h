#pragma once
// "get_opt": the client's options, dictionary name and session id, answered by the command's
// template alone. The handler only guards the callback the script answer writes in front of
// "(": when given it must be a valid JSONP name.
//
// Reads: "callback". Throws CommandHandler::exception "Invalid callback name." otherwise.
#include "kernel/CommandHandler.h"

namespace orthd {

class GetOpt_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace orthd
