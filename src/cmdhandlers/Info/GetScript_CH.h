#pragma once
// "script": a script, style sheet or image of the client trees, chosen by "doc" through the
// template map. Only the language scripts and the relay's loader are expanded as templates; the
// others are served as they are.
#include "kernel/CommandHandler.h"

class GetScript_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
