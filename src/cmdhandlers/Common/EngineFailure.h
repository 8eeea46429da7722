#pragma once
// The way the direct engine commands fail: one log line naming the handler and the cause, then
// the critical command-handler exception that the answer shows.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cmdhandlers/Common/EngineSession.h"
#include "kernel/CommandHandler.h"

// Logs "<handler>::apply() *ERROR* <cause>" and throws CommandHandler::criticalException with
// `message`, raised from `sourceFile` (__FILE__ of the command) at `line`.
[[noreturn]] void FailCritically(const char* handler, const char* cause, const char* message,
                                 const char* sourceFile, int line);

// What a direct call reports when it fails, and as whom.
struct DirectCallReport {
    const char* handler;         // "Grammar_CH", ...
    const char* hostSetting;     // the setting that chose the server ("grammar_host", ...)
    const char* failurePhrase;   // logged when the call fails
    const char* failureMessage;  // the critical message when the call fails
    const char* sourceFile;
    int line;
};

// One call on `server`, whose results it returns. Fails critically with "The Verbarium Service
// is currently unavailable." when `server` is empty (logged "Incorrect format of param
// '<hostSetting>'") or the client cannot be initialised ("Application server init failed."),
// and with report.failureMessage when the call fails.
std::vector<std::string> CallOrFail(const StringMap& map,
                                    const std::optional<EngineSession::Target>& server,
                                    const std::string& function,
                                    const std::vector<std::string>& params, size_t expected,
                                    const DirectCallReport& report);
