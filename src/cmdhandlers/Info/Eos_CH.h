#pragma once
// "eos": the page that ends a dialog session; it closes the dialog window unless the page asked
// to keep it ("[dc]" in "hide").
#include "kernel/CommandHandler.h"

class Eos_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
