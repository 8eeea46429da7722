#pragma once
// "flash_spell": the spelling result for the animation-player client as one XML document in
// "view": the text with each misspelt word marked "##word:index#...##", and the suggestions of
// every misspelt word the engine has suggestions for.
#include "cmdhandlers/Spell/CommonSpell_CH.h"

class FlashSpell_CH : public CommonSpell_CH {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
