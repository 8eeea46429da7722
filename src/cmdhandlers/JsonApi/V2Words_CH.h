#pragma once
// The words of a personal dictionary, LanguageTool's "/v2/words" family: "username" names the
// dictionary, "apiKey" is its owner key (not needed while the dictionary has no owner).
//   v2/words         [offset, limit] -> {"words": [...]} in byte order
//   v2/words/add     word            -> {"added": true}; a dictionary that does not exist yet is
//                                       created with an owner and the answer carries its
//                                       "apiKey" (shown this once: only a hash is kept);
//                                       "claim=true" gives an ownerless dictionary an owner
//   v2/words/delete  word            -> {"deleted": true}
// Changes need the key as a parameter or a POST from an accepted page (ChangeGuard). Failures:
// 400 (missing parameter, invalid name or word), 403 (wrong key, refused change), 503.
#include "kernel/CommandHandler.h"

class V2Words_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
