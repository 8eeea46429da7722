#pragma once
// The relay's handler of "default" (reached only when no "alternate" handler is registered).
#include "kernel/CommandHandler.h"

namespace ferrix {

class Default_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};

}  // namespace ferrix
