#pragma once
// "navbar": the tab states of the dialog's navigation bar (spelling, grammar, thesaurus,
// antonyms) and the banner height.
#include "kernel/CommandHandler.h"

class Navbar_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
