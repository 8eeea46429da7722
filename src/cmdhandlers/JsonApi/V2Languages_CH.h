#pragma once
// "/v2/languages": [{name, code, longCode}] of every language the engine server serves
// ("English (US)", "en", "en-US").
#include "kernel/CommandHandler.h"

class V2Languages_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
