#pragma once
// "languages": the offered spelling languages as an XML list in "view".
#include "kernel/CommandHandler.h"

class Languages_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
