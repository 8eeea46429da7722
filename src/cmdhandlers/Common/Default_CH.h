#pragma once
// The handler of "default": every command orthd does not know runs it.
#include "kernel/CommandHandler.h"

namespace orthd {

class Default_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace orthd
