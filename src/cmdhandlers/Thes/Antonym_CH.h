#pragma once
// "getants": the antonyms of one word, by category (see TheDBGetWord_CH).
#include "cmdhandlers/Thes/TheDBGetWord_CH.h"

class Antonym_CH : public TheDBGetWord_CH {
  protected:
    const char* Function() const override { return "get_ant_list"; }
};
