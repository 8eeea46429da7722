#pragma once
// "sp_ig", "sp_ig_all", "gr_ig", "gr_ig_all": ignores the dialog's current problem, then checks
// the text again from after it ("spell" for the spelling commands, "grammar" for the others).
//
// Reads: "text", ":prse_opt:", "pos", "len", "igproblem" (gr_ig_all), the ignore lists,
// InternalData FilteringParams (30).
// Writes: ":chng_pos:" = pos + len, ":word_org:" (the word), and
//   sp_ig      pos into "igpossp"        sp_ig_all  the word appended to "ignoresp"
//   gr_ig      pos into "igposgr"        gr_ig_all  igproblem into "ignoregr"
// (numbers inserted in ascending order, see IgnoreList.h; an "igproblem" that is not a decimal
// number is not inserted); then "cmd" and what the next command writes.
// Throws: "The default language is not configured correctly." for a missing typed value;
// otherwise "IgnoreHandler::apply() - internal error."; what the next command throws passes on.
#include "kernel/CommandHandler.h"

class Ignore_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;
};
