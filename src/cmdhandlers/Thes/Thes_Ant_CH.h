#pragma once
// "ants": marks the words that have antonyms (see TheDBCheckWord_CH).
#include "cmdhandlers/Thes/TheDBCheckWord_CH.h"

class Thes_Ant_CH : public TheDBCheckWord_CH {
  protected:
    const char* Function() const override { return "text_antonyms"; }
    const char* DialogCommand() const override { return "getants"; }
};
