#pragma once
// The relay's "orthdver" command: relays the service host's own version page by forwarding the
// request as "cmd" = "ver" (through the "alternate" handler, else "default"). Leaves "cmd" as
// "ver"; writes and throws what that handler does.
#include "kernel/CommandHandler.h"

namespace ferrix {

class OrthdVersion_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace ferrix
