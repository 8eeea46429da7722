#pragma once
// Last stage before the command: derives request values the handlers need.
//
// Reads: "slang", "hide", "cmd", ":session_start:" (presence), ":lng_pdef:", "text",
// "langs_list" and the display name of each listed language (one key per code), "callback",
// "run_mode", "format", "out_type", "ignore_all_caps", "ignore_words_with_numbers",
// "ignore_mixed_case", "ignore_domain_names"; InternalData LangInCookie (21), TagWhiteList (28),
// AttributeWhiteList (29), all required; the two lists are moved into FilteringParams.
// Writes: "url_version", "slang", "text", "langs", one key per language group,
// "right_to_left", "left_per", "right_per", "callback", "osp"; InternalData FilteringParams (30)
// and SpellLang (1).
// Throws PreProcess_FLTException for an invalid web-service option (the message quotes the
// value through QuoteRequestValue), for "invalid group name", for a "callback" that is not a
// valid JSONP callback name (kInvalidCallback), and for a missing setting.
#include <string>

#include "kernel/Filter.h"

namespace orthd {

class PreProcess_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(PreProcess_FLTException);
    static constexpr char kInvalidCallback[] = "Invalid callback name.";

    void apply(StringMap& map, InternalData& data) override;

    // Builds "langs" and the per-group keys from "langs_list"; throws on a group name without "]".
    static void BuildLanguageList(StringMap& map);
    // Checks the web-service options and packs them into "osp".
    static void CheckWebServiceOptions(StringMap& map);

  private:
    void run(StringMap& map, InternalData& data);
};

}  // namespace orthd
