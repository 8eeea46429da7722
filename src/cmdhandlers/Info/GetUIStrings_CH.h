#pragma once
// "ui_strings": the language display names and the interface texts as an XML list in "view".
#include "kernel/CommandHandler.h"

class GetUIStrings_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
