#pragma once
// "sp_ch", "sp_ch_all", "gr_ch", "th_ch": replaces the dialog's current word by "word" (for
// "sp_ch_all" every whole-word occurrence of it), then checks the text again from after it
// ("spell"; "grammar" after "gr_ch", "thes" after "th_ch").
//
// Reads: "text", ":prse_opt:", "pos", "len", "word", "igpossp", "igposgr", InternalData
// FilteringParams (30).
// Writes: ":word_org:" (the replaced word); "text" (the changed text); ":chng_pos:" = pos + len
// + count * (replacement length - word length), count being the replacements at or before pos
// (1 for the single commands); the ignore lists: every replacement moves the positions after it
// by the length difference (positions inside the replaced word are dropped), and the corrected
// position is ignored from then on in "igpossp" ("sp_ch", each occurrence of "sp_ch_all") or
// "igposgr" ("gr_ch") when the length changed; then "cmd" and what the next command writes.
// Throws: "The default language is not configured correctly." for a missing typed value;
// otherwise "ChangeHandler::apply() - internal error."; what the next command throws passes on.
#include <string>
#include <vector>

#include "kernel/CommandHandler.h"

class Change_CH : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData& data) override;

    // The positions (UTF-16 units) of `word` in `text` that have no letter right before or after
    // them, ascending; taken from the end, an occurrence that overlaps a later one is left out.
    // Linear in the text. An empty word occurs nowhere.
    static std::vector<int> WholeWordOccurrences(const std::u16string& text,
                                                 const std::u16string& word);
};
