#pragma once
// HTML-escapes the request values that answers echo, right before the response stage (after
// the command, TemplateLoad_FLT and LogWrite_FLT, which need the raw values).
//
// Writes: the values of kEscapedKeys (created empty when absent), HTML-escaped; "e_command",
// "schema" and "word" are also parenthesis-escaped. An empty "problemid" becomes "0".
// Updates InternalData RequestValues (RequestValueRecord::NoteHtmlEscaped) for escaped request
// text.
// Throws ValueEscape_FLTException ("ValueEscaper::apply() - internal error." ...) on an
// unexpected failure; a missing or mistyped InternalData value ends the stage silently.
#include <array>

#include "kernel/Filter.h"
#include "utils/RequestValueRecord.h"

namespace orthd {

class ValueEscape_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(ValueEscape_FLTException);

    static constexpr std::array<const char*, 36> kEscapedKeys = {
        "txt_ctrl",     "trg_wnd",       "trg_url",    "ignoregr", "len",
        "pos",          "problemid",     "doc",        "sg",       "wordid",
        "name",         "e_command",     "svc_time",   "slang",    "intlang",
        "statinfo",     "last_svc_time", "ignoresp",   "text",     "bnr",
        "cust_dic_ids", "dname",         "igposgr",    "igpossp",  "igproblem",
        "optionssp",    "relaxeddomain", "schema_url", "settings", "spp_langs",
        "orthd_host",   "osp",           "err",        "domain",   "schema",
        "word"};

    void apply(StringMap& map, InternalData& data) override;
    // Notes in `record` (when given) which escaped values were request text, so that answers
    // that are no HTML pages get that text escaped for their own content type instead.
    static void EscapeValues(StringMap& map, RequestValueRecord* record = nullptr);
};

}  // namespace orthd
