#pragma once
// Appends the request's line to the hourly request log ":logs_dir:" + "YYYY.MM.DD.HH.orthd.log"
// (local time) in one appending write, which needs no lock (orthd only). The file stays open
// between requests (KeptAppendFile: opened again each second and at each new hour).
//
// Reads: ":logs_dir:" (empty: nothing is logged), "init", "sid", "sessionid", ":cmd__org:",
// "last_svc_time", "customerid", "statinfo", "slang", ":word_org:", "intlang", "schema", "bnr",
// "word", "action"; environment "REMOTE_ADDR", "HTTP_REFERER", "HTTP_USER_AGENT".
// Writes: "statinfo" = "1" when it was non-empty.
// The line is 17 fields, each followed by a TAB, then LF. Every field is written with TAB, LF and
// CR escaped as "\t", "\n", "\r", so one request is always exactly one line of 17 fields.
// An unopenable log file loses the line silently.
// Throws LogException ("LogWriter::apply() - internal error." + cause) on unexpected failures;
// filter exceptions pass through.
// Runs after the command, after SessionCount_FLT has set ":logs_dir:", ":cmd__org:" and
// "sessionid".
#include <ctime>
#include <string>

#include "kernel/Filter.h"

class LogWrite_FLT : public Filter {
  public:
    VERB_FILTER_EXCEPTION(LogException);

    static constexpr int kFieldCount = 17;

    // The log line for the request at local time `now` plus `millis` milliseconds.
    static std::string FormatLine(StringMap& map, const std::tm& now, unsigned millis);
    // The hourly log file in `logsDir` for local time `now`.
    static std::string LogFilePath(const std::string& logsDir, const std::tm& now);

    void apply(StringMap& map, InternalData& data) override;

  private:
    static void write(StringMap& map);
};
