#pragma once
// The relay's "checkconfig" command: a page that shows the relay's version page and the service
// host's one side by side (two frames on "<ferrix_url>?cmd=ver" and "?cmd=orthdver").
// Writes ":template:" and LoadTemplate = false.
#include "kernel/CommandHandler.h"

namespace ferrix {

class CheckConfig_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace ferrix
