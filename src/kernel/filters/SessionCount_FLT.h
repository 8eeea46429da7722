#pragma once
// Numbers the request's session and counts new sessions in "sc.log" (orthd only).
//
// Reads: "cmd", "sessionid", "server_id", ":app_path:".
// Writes: ":logs_dir:" (":app_path:" + "../srv/logs/"), ":cmd__org:" ("cmd", plus "_start" for a
// new session), ":session_start:" (empty, new sessions only), "sessionid" ("<server>.<count>").
// A "sessionid" without a count (or with count 0) starts a new session: the counter in
// logs_dir "sc.log" is incremented under the "session_count" lock and becomes the count; the
// server number then comes from "server_id" unless "sessionid" names one. Does nothing at all for
// "cmd" = "script". An unwritable "sc.log" is not an error: the count is then 1.
// Throws SessionCount_FLTException ("SessionCounter::apply() - internal error." + cause) on
// unexpected failures; filter exceptions pass through.
// Runs before the command and before LogWrite_FLT, which logs the values set here.
#include <cstdint>
#include <string>
#include <string_view>

#include "kernel/Filter.h"

class SessionCount_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(SessionCount_FLTException);

    struct SessionId {
        uint32_t server = 0;
        uint32_t count = 0;  // 0: a new session
    };

    // The leading decimal number of `text` (blanks and a '+' may precede it); 0 when there is
    // none, UINT32_MAX when it is larger.
    static uint32_t DecimalValue(std::string_view text);
    // "<server>.<count>"; without a '.' the server is `serverId` and the count 0.
    static SessionId ParseSessionId(std::string_view sessionId, std::string_view serverId);
    // The count following the first line of the counter file; never 0.
    static uint32_t NextCount(std::string_view firstLine);

    void apply(StringMap& map, InternalData& data) override;

  private:
    static void count(StringMap& map);
};
