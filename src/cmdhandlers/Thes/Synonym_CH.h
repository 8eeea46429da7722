#pragma once
// "getthes": the synonyms of one word, by category (see TheDBGetWord_CH).
#include "cmdhandlers/Thes/TheDBGetWord_CH.h"

class Synonym_CH : public TheDBGetWord_CH {
  protected:
    const char* Function() const override { return "get_syn_list"; }
};
