#pragma once
// Any other path below "/v2/": 404.
#include "kernel/CommandHandler.h"

class V2Unknown_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
