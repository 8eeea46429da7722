#pragma once
// "thes": marks the words that have synonyms (see TheDBCheckWord_CH).
#include "cmdhandlers/Thes/TheDBCheckWord_CH.h"

class Thes_CH : public TheDBCheckWord_CH {
  protected:
    const char* Function() const override { return "text_thesaurus"; }
    const char* DialogCommand() const override { return "getthes"; }
};
