#pragma once
// "get_lang_list": the language lists of the offered sections as a script object in "view".
#include "kernel/CommandHandler.h"

class LangList_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
