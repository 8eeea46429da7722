#pragma once
// "ver" and "xver": the program's name, version and platform as an HTML page or XML document.
#include "kernel/CommandHandler.h"

class Version_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
